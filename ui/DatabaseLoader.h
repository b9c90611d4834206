// Opens a database file with a master password: maps the file, lets the reader factory pick
// the format and loads the tree. Touches nothing but its arguments, so it may run off the main
// thread.
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
