#pragma once

#include <cstdint>
#include <string>

#include "kdb/InputSource.h"

namespace vaultora::cli {

// What the unencrypted header of a database file says about how it is stored.
struct HeaderFacts {
    std::string format;      // "KeePass 1.x" or "KeePass 2.x"
    std::string fileVersion; // major.minor, as in "3.1"
    std::string cipher;      // "AES-256", "Twofish" or "unknown (...)"
    std::string compression; // "none" or "gzip"
    std::string innerStream; // "none", "ARC4", "Salsa20" or "unknown (n)"
    uint64_t rounds = 0;     // key transformation rounds
};

// Reads the header from the start of the source and leaves the source at offset 0 again.
// Throws CliError for a file that is not a KeePass database or whose header is cut short.
[[nodiscard]] HeaderFacts readHeaderFacts(kdb::InputSource& source);

} // namespace vaultora::cli
