#pragma once

#include "Credentials.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// The 32-byte key that goes into the key derivation, built from the password and the key file
// in the way each format family defines.
class CompositeKey {
public:
    CompositeKey() = delete;

    // 2.x (every file version): SHA-256 over SHA-256(password as UTF-8), when there is a
    // password, followed by the key file's key, when there is a key file.
    [[nodiscard]] static SecureBytes forVersion2(const Credentials& credentials);
    // 1.x: SHA-256(password in Windows-1252) alone; the key file's key alone (also with an
    // empty password); or, with both, SHA-256(SHA-256(password) || key file's key).
    [[nodiscard]] static SecureBytes forVersion1(const Credentials& credentials);
};

} // namespace vaultora::kdb
