#pragma once

#include <memory>
#include <string>

#include "kdb/InputSource.h"

namespace vaultora::cli {

// True for an http:// or https:// address, which names a database on a web server rather
// than a local file.
[[nodiscard]] bool isWebAddress(const std::string& location);

// Downloads the database at the address with the application's HTTP client (its time-out,
// redirects and credentials from the address) and keeps it in memory only. Throws CliError
// when the download fails or the server's final answer is not a success.
[[nodiscard]] std::unique_ptr<kdb::InputSource> loadDatabaseFromWeb(const std::string& url);

} // namespace vaultora::cli
