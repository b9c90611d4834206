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

// The whole content of a key file (at most 1 GiB). Throws CliError when it cannot be read.
[[nodiscard]] kdb::SecureBytes readKeyFile(const std::string& path);

// Detects the format of the source, reads it with the credentials and returns the tree.
// Engine failures come out as CliError with a one-line message naming the engine error; a
// cancelled open with the status Interrupted.
[[nodiscard]] std::shared_ptr<kdb::DatabaseTree>
openDatabase(std::unique_ptr<kdb::InputSource> source, const kdb::Credentials& credentials);

// "wrong password or damaged file (DecryptError)": a description of an engine failure.
[[nodiscard]] std::string describeEngineError(const kdb::DatabaseError& error);

} // namespace vaultora::cli
