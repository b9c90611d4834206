// The database details screen as the Dropbox file picker sees it: the screen to return to,
// told of the chosen file.
#pragma once

#include "app/KeePassServerDetail.h"

#include <memory>

namespace toolkit {
class Panel;
}

namespace vaultora::sync {

class DropBoxPickerRoot {
public:
    virtual ~DropBoxPickerRoot() = default;
    // The panel the picker returns to; it sits below the pickers in the same container.
    [[nodiscard]] virtual toolkit::Panel* pickerRootPanel() = 0;
    virtual void setKeePassServerDetail(std::shared_ptr<KeePassServerDetail> record) = 0;
    // Rebuilds the form from the record.
    virtual void createDialog() = 0;
};

} // namespace vaultora::sync
