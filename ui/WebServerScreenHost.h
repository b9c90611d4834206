#pragma once

#include "base/DatabaseRecord.h"

#include <memory>

namespace vaultora::ui {

// What the web-server screen needs from the database details screen that opened it. The
// details screen implements it; the web-server screen does not own it.
class WebServerScreenHost {
public:
    virtual ~WebServerScreenHost() = default;

    // Hands over the record after an upload changed it.
    virtual void setDatabaseRecord(const std::shared_ptr<base::DatabaseRecord>& record) = 0;
    // Rebuilds the details form from the record.
    virtual void createDialog() = 0;
    // Makes the details screen the visible one again. The web-server screen may stay alive
    // behind it, so that its server keeps receiving uploads.
    virtual void showAgain() = 0;
};

} // namespace vaultora::ui
