// The routes by which a database file reaches the documents directory, as the open flow needs
// them.
#pragma once

#include "base/DatabaseRecord.h"

#include <QString>

#include <memory>

namespace vaultora::ui {

class DatabaseOpenFlow;

class DatabaseSources {
public:
    virtual ~DatabaseSources() = default;

    // Downloads the address into the named file of the documents directory and returns once
    // the transfer has ended: true when the file was written. Shows its own messages.
    [[nodiscard]] virtual bool downloadFromURL(const QString& url, const QString& fileName) = 0;
    // Whether the general internet route is up.
    [[nodiscard]] virtual bool isInternetReachable() const = 0;
    // Brings the record's Dropbox copy up to date and then continues the open flow
    // (openLocalCopy), later, from the main loop.
    virtual void syncWithDropbox(const std::shared_ptr<base::DatabaseRecord>& record,
                                 DatabaseOpenFlow& flow) = 0;
};

} // namespace vaultora::ui
