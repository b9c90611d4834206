// Opens a database file with a master password: maps the file and lets the engine open it. Touches
// nothing but its arguments, so it may run off the main thread.
#pragma once

#include "kdb/DatabaseModel.h"
#include "kdb/SecureBytes.h"

#include <memory>
#include <string>

namespace vaultora::ui {

struct DatabaseLoadOutcome {
    // Set when the file was opened.
    std::shared_ptr<kdb::DatabaseTree> tree;
    // The engine's failure name ("DecryptError", ...) and reason when it was not.
    std::string errorName;
    std::string errorReason;
};

class DatabaseLoader final {
public:
    DatabaseLoader() = delete;

    [[nodiscard]] static DatabaseLoadOutcome load(const std::string& path,
                                                  const kdb::SecureBytes& password);
};

} // namespace vaultora::ui
