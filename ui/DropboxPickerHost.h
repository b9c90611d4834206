// The database details screen as the Dropbox file picker sees it: the screen to return to,
// told of the chosen file.
#pragma once

#include "base/DatabaseRecord.h"

#include <memory>

namespace vaultora::toolkit {
class Panel;
}

namespace vaultora::ui {

class DropboxPickerHost {
public:
    virtual ~DropboxPickerHost() = default;
    // The panel the picker returns to; it sits below the pickers in the same container.
    [[nodiscard]] virtual toolkit::Panel* pickerRootPanel() = 0;
    virtual void setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record) = 0;
    // Rebuilds the form from the record.
    virtual void createDialog() = 0;
};

} // namespace vaultora::ui
