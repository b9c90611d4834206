#include "ChaCha20RandomStream.h"

#include <algorithm>
#include <array>

#include <openssl/evp.h>

#include "DatabaseError.h"
#include "SecureBytes.h"
#include "Sha256.h"

namespace vaultora::kdb {

struct ChaCha20RandomStream::Cipher {
    struct Free {
        void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
    };
    std::unique_ptr<EVP_CIPHER_CTX, Free> context{EVP_CIPHER_CTX_new()};
};

ChaCha20RandomStream::ChaCha20RandomStream(const uint8_t* key, std::size_t length)
    : m_cipher(std::make_unique<Cipher>()) {
    Sha512Digest hash{};
    sha512(key, length, hash.data());
    // OpenSSL takes the block counter (little-endian, here 0) before the nonce.
    std::array<uint8_t, 16> counterAndNonce{};
    std::copy(hash.begin() + 32, hash.begin() + 44, counterAndNonce.begin() + 4);
    const bool ready =
        m_cipher->context && EVP_EncryptInit_ex(m_cipher->context.get(), EVP_chacha20(), nullptr,
                                                hash.data(), counterAndNonce.data()) == 1;
    secureWipe(hash.data(), hash.size());
    secureWipe(counterAndNonce.data(), counterAndNonce.size());
    if (!ready) {
        throw DatabaseError("AppError", "CipherInitFailure");
    }
}

ChaCha20RandomStream::~ChaCha20RandomStream() = default;

void ChaCha20RandomStream::applyKeyStream(uint8_t* bytes, std::size_t length) noexcept {
    // A stream cipher's encryption is the XOR with its key stream, which it keeps in step
    // across calls.
    while (length > 0) {
        const int piece = static_cast<int>(std::min<std::size_t>(length, 1u << 30));
        int produced = 0;
        static_cast<void>(
            EVP_EncryptUpdate(m_cipher->context.get(), bytes, &produced, bytes, piece));
        bytes += piece;
        length -= static_cast<std::size_t>(piece);
    }
}

} // namespace vaultora::kdb
