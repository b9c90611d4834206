#include "Sha256.h"

#include <openssl/evp.h>

#include "DatabaseError.h"

namespace vaultora::kdb {

void sha256(const void* data, std::size_t length, uint8_t* digest) {
    static const uint8_t kNothing = 0;
    if (EVP_Digest(length == 0 ? &kNothing : data, length, digest, nullptr, EVP_sha256(),
                   nullptr) != 1) {
        throw DatabaseError("AppError", "DigestFailure");
    }
}

} // namespace vaultora::kdb
