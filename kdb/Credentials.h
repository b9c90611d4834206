#pragma once

#include <optional>

#include "CancelFlag.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// What an open is given to build the master key: a password, the whole content of a key
// file, or both. Each format combines them in its own way (KeePass1Reader, KdbxReader).
struct Credentials {
    // UTF-8 text; absent when the database has no password (key file alone). An empty
    // password is a password.
    std::optional<SecureBytes> passwordUtf8;
    // The key file's bytes as read from disk; absent when no key file is used.
    std::optional<SecureBytes> keyFileContents;
    // Not owned; may be null. Checked while the key is derived.
    const CancelFlag* cancelFlag = nullptr;

    [[nodiscard]] static Credentials withPassword(const SecureBytes& passwordUtf8) {
        Credentials credentials;
        credentials.passwordUtf8 = passwordUtf8;
        return credentials;
    }

    void throwIfCancelled() const {
        if (cancelFlag != nullptr) {
            cancelFlag->throwIfCancelled();
        }
    }
};

} // namespace vaultora::kdb
