#pragma once

#include "SecureBytes.h"

namespace vaultora::kdb {

// Turns the content of a key file into the key it contributes to the master key.
class KeyFile {
public:
    KeyFile() = delete;

    // For 2.x databases: an XML key file (root KeyFile; version 1.x holds Base64 key data,
    // version 2.x hexadecimal key data whose Hash attribute must match), else exactly 32
    // bytes as they are, else exactly 64 hexadecimal characters decoded, else the SHA-256 of
    // the whole content. A key file that is XML of this kind but malformed, of another
    // version or with a wrong hash throws ("InvalidKeyFile", reason).
    [[nodiscard]] static SecureBytes keyForVersion2(const SecureBytes& contents);
    // For 1.x databases: the same without the XML forms, which the 1.x format never read.
    [[nodiscard]] static SecureBytes keyForVersion1(const SecureBytes& contents);
};

} // namespace vaultora::kdb
