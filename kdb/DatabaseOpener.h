#pragma once

#include <memory>

#include "DatabaseModel.h"
#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// Opens a database file of either format: reads the signature to choose the reader, then
// loads the tree with the master password (UTF-8). The source is taken over and released
// when the call ends. Failures throw DatabaseError, an unknown signature as
// ("Unsupported", "UnsupportedVersion").
[[nodiscard]] std::shared_ptr<DatabaseTree> openDatabase(std::unique_ptr<InputSource> source,
                                                         const SecureBytes& passwordUtf8);
// The same with a password, a key file or both; an open whose cancel flag is set stops with
// ("Cancelled", "Cancelled").
[[nodiscard]] std::shared_ptr<DatabaseTree> openDatabase(std::unique_ptr<InputSource> source,
                                                         const Credentials& credentials);

} // namespace vaultora::kdb
