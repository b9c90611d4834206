#include "SecureBytes.h"

#include <openssl/crypto.h>

namespace vaultora::kdb {

void secureWipe(void* data, std::size_t length) noexcept {
    if (data != nullptr && length > 0) {
        OPENSSL_cleanse(data, length);
    }
}

} // namespace vaultora::kdb
