// The icon of a registered database's row, shared by the menu and the database list: the
// database's box, marked with the way its file reaches the device, so that the rows of a
// downloaded, a Dropbox and an uploaded database can be told apart at a glance.
#pragma once

#include "base/DatabaseRecord.h"

#include <QString>

namespace vaultora::ui {

[[nodiscard]] QString databaseRowImage(const base::DatabaseRecord& record);

} // namespace vaultora::ui
