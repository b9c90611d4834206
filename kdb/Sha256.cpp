#include "Sha256.h"

#include <memory>

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include "DatabaseError.h"

namespace vaultora::kdb {

namespace {

[[noreturn]] void digestFailure() {
    throw DatabaseError("AppError", "DigestFailure");
}

void digest(const EVP_MD* algorithm, const void* data, std::size_t length, uint8_t* result) {
    static const uint8_t kNothing = 0;
    if (EVP_Digest(length == 0 ? &kNothing : data, length, result, nullptr, algorithm, nullptr) !=
        1) {
        digestFailure();
    }
}

struct MacFree {
    void operator()(EVP_MAC* mac) const noexcept { EVP_MAC_free(mac); }
};
struct MacContextFree {
    void operator()(EVP_MAC_CTX* context) const noexcept { EVP_MAC_CTX_free(context); }
};

} // namespace

void sha256(const void* data, std::size_t length, uint8_t* result) {
    digest(EVP_sha256(), data, length, result);
}

void sha512(const void* data, std::size_t length, uint8_t* result) {
    digest(EVP_sha512(), data, length, result);
}

void hmacSha256(std::span<const uint8_t> key, std::initializer_list<std::span<const uint8_t>> parts,
                uint8_t* result) {
    static const std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (!mac) {
        digestFailure();
    }
    const std::unique_ptr<EVP_MAC_CTX, MacContextFree> context(EVP_MAC_CTX_new(mac.get()));
    char digestName[] = "SHA256";
    const OSSL_PARAM parameters[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digestName, 0),
        OSSL_PARAM_construct_end()};
    if (!context || EVP_MAC_init(context.get(), key.data(), key.size(), parameters) != 1) {
        digestFailure();
    }
    for (const std::span<const uint8_t> part : parts) {
        if (!part.empty() && EVP_MAC_update(context.get(), part.data(), part.size()) != 1) {
            digestFailure();
        }
    }
    std::size_t written = 0;
    if (EVP_MAC_final(context.get(), result, &written, 32) != 1 || written != 32) {
        digestFailure();
    }
}

} // namespace vaultora::kdb
