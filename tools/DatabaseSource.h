#pragma once

#include <memory>
#include <string>

#include "kdb/DatabaseError.h"
#include "kdb/DatabaseModel.h"
#include "kdb/InputSource.h"
#include "kdb/SecureBytes.h"

namespace vaultora::cli {

// The one place where a FILE argument becomes database bytes: it maps a local file, or
// downloads an http or https address into memory. Throws CliError when the file cannot be
// read.
[[nodiscard]] std::unique_ptr<kdb::InputSource> loadDatabaseSource(const std::string& path);

// Detects the format of the source, reads it with the password and returns the tree.
// Engine failures come out as CliError with a one-line message naming the engine error.
[[nodiscard]] std::shared_ptr<kdb::DatabaseTree>
openDatabase(std::unique_ptr<kdb::InputSource> source, const kdb::SecureBytes& passwordUtf8);

// "wrong password or damaged file (DecryptError)": a description of an engine failure.
[[nodiscard]] std::string describeEngineError(const kdb::DatabaseError& error);

} // namespace vaultora::cli
