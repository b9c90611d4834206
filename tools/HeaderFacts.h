#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kdb/InputSource.h"
#include "kdb/KeyDerivation.h"

namespace vaultora::cli {

// What the unencrypted header of a database file says about how it is stored.
struct HeaderFacts {
    std::string format;      // "KeePass 1.x" or "KeePass 2.x"
    std::string fileVersion; // major.minor, as in "3.1"
    std::string cipher;      // "AES-256", "Twofish" or "unknown (...)"
    std::string compression; // "none" or "gzip"
    // "none", "ARC4", "Salsa20", "ChaCha20" or "unknown (n)"; format 4 keeps it in the
    // encrypted inner header, which needs the key: "in the encrypted inner header".
    std::string innerStream;
    std::string kdf;     // "AES-KDF", "Argon2d", "Argon2id" or "unknown (...)"
    uint64_t rounds = 0; // AES-KDF rounds
    std::optional<kdb::Argon2Parameters> argon2;
};

// Reads the header from the start of the source and leaves the source at offset 0 again.
// Throws CliError for a file that is not a KeePass database or whose header is cut short or
// damaged.
[[nodiscard]] HeaderFacts readHeaderFacts(kdb::InputSource& source);

} // namespace vaultora::cli
