#include "SecureBytes.h"

#include <cstring>

namespace vaultora::kdb {

void secureWipe(void* data, std::size_t length) noexcept {
    if (data != nullptr && length > 0) {
        // The C library's memset that the compiler may not drop: wipes run over every block of
        // decrypted text, where a byte-wise loop would be felt.
        explicit_bzero(data, length);
    }
}

} // namespace vaultora::kdb
