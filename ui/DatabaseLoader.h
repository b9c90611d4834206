// Opens a database file with a master password, a key file or both: maps the file, reads the key
// file and lets the engine open it. Touches nothing but its arguments, so it may run off the main
// thread.
#pragma once

#include "kdb/CancelFlag.h"
#include "kdb/DatabaseModel.h"
#include "kdb/SecureBytes.h"

#include <memory>
#include <optional>
#include <string>

namespace vaultora::ui {

struct DatabaseLoadOutcome {
    // Set when the file was opened.
    std::shared_ptr<kdb::DatabaseTree> tree;
    // The engine's failure name ("DecryptError", ...) and reason when it was not.
    std::string errorName;
    std::string errorReason;
};

struct DatabaseLoadRequest {
    std::string path;
    // Absent for a database opened with its key file alone.
    std::optional<kdb::SecureBytes> password;
    // Empty when no key file is used.
    std::string keyFilePath;
    // Shared with the flow that may cancel the load; may be null.
    std::shared_ptr<const kdb::CancelFlag> cancelFlag;
};

class DatabaseLoader final {
public:
    DatabaseLoader() = delete;

    [[nodiscard]] static DatabaseLoadOutcome load(const std::string& path,
                                                  const kdb::SecureBytes& password);
    // A key file that cannot be read fails as ("InvalidKeyFile", "KeyFileUnreadable"); a
    // cancelled load as ("Cancelled", "Cancelled").
    [[nodiscard]] static DatabaseLoadOutcome load(const DatabaseLoadRequest& request);
};

} // namespace vaultora::ui
