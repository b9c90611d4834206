// Keeps every running Dropbox sync alive until its last callback and then releases it; the
// open flow and the settings start their syncs here.
#pragma once

#include "base/DatabaseRecord.h"
#include "sync/dropbox/DropboxSync.h"
#include "sync/dropbox/DropboxSyncServices.h"

#include <QObject>
#include <memory>

namespace vaultora::sync {

class DropboxLoginFlow;

class DropboxSyncRunner final : public QObject {
    Q_OBJECT

public:
    DropboxSyncRunner(DropboxSyncServices services, DropboxSync::PathResolver pathResolver,
                      QObject* parent = nullptr);

    // Opening a database: sync, then the panel goes on with its login. `lifetime` is the
    // panel's object.
    DropboxSync* syncWithDropbox(const std::shared_ptr<base::DatabaseRecord>& record,
                                 DropboxLoginFlow& panel, QObject* lifetime);
    // Saving a Dropbox record: download the chosen file at once, whatever its date.
    DropboxSync* download(const std::shared_ptr<base::DatabaseRecord>& record);

    [[nodiscard]] int runningCount() const;
    [[nodiscard]] const DropboxSyncServices& services() const { return m_services; }

private:
    DropboxSync* create(const std::shared_ptr<base::DatabaseRecord>& record);

    DropboxSyncServices m_services;
    DropboxSync::PathResolver m_pathResolver;
};

} // namespace vaultora::sync
