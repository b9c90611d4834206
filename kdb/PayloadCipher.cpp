#include "PayloadCipher.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include <gcrypt.h>
#include <openssl/evp.h>

#include "DatabaseError.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

const std::array<uint8_t, 16> PayloadCipher::kAes256Id = {
    0x31, 0xC1, 0xF2, 0xE6, 0xBF, 0x71, 0x43, 0x50, 0xBE, 0x58, 0x05, 0x21, 0x6A, 0xFC, 0x5A, 0xFF};
const std::array<uint8_t, 16> PayloadCipher::kChaCha20Id = {
    0xD6, 0x03, 0x8A, 0x2B, 0x8B, 0x6F, 0x4C, 0xB5, 0xA5, 0x24, 0x33, 0x9A, 0x31, 0xDB, 0xB5, 0x9A};
const std::array<uint8_t, 16> PayloadCipher::kTwofishId = {
    0xAD, 0x68, 0xF2, 0x9F, 0x57, 0x6F, 0x4B, 0xB9, 0xA3, 0x6A, 0xD4, 0x7A, 0xF9, 0x65, 0x34, 0x6C};

namespace {

constexpr uint32_t kBlockSize = 16;

[[noreturn]] void decryptError() {
    throw DatabaseError("DecryptError", "DecryptError");
}

// AES-256-CBC and ChaCha20 through OpenSSL's cipher interface.
class OpenSslCipher final : public PayloadCipher {
public:
    OpenSslCipher(const EVP_CIPHER* cipher, const uint8_t* key, const uint8_t* iv) {
        if (!m_context || EVP_DecryptInit_ex(m_context.get(), cipher, nullptr, key, iv) != 1) {
            decryptError();
        }
    }

    uint32_t update(const uint8_t* input, uint32_t length, uint8_t* output) override {
        int produced = 0;
        if (length > 0 && EVP_DecryptUpdate(m_context.get(), output, &produced, input,
                                            static_cast<int>(length)) != 1) {
            decryptError();
        }
        return static_cast<uint32_t>(produced);
    }

    uint32_t finish(uint8_t* output) override {
        int produced = 0;
        if (EVP_DecryptFinal_ex(m_context.get(), output, &produced) != 1) {
            decryptError();
        }
        return static_cast<uint32_t>(produced);
    }

private:
    struct Free {
        void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
    };
    std::unique_ptr<EVP_CIPHER_CTX, Free> m_context{EVP_CIPHER_CTX_new()};
};

void initialiseGcrypt() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Another part of the process may have set the library up already; then its
        // settings stand.
        if (gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P) == 0) {
            static_cast<void>(gcry_check_version(nullptr));
            gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
            gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        }
    });
}

// Twofish-CBC through libgcrypt, which does no padding: the last block is held back and its
// PKCS#7 padding checked here.
class TwofishCbcCipher final : public PayloadCipher {
public:
    TwofishCbcCipher(std::span<const uint8_t, 32> key, std::span<const uint8_t, 16> iv) {
        initialiseGcrypt();
        gcry_cipher_hd_t handle = nullptr;
        if (gcry_cipher_open(&handle, GCRY_CIPHER_TWOFISH, GCRY_CIPHER_MODE_CBC, 0) != 0) {
            decryptError();
        }
        m_handle.reset(handle);
        if (gcry_cipher_setkey(handle, key.data(), key.size()) != 0 ||
            gcry_cipher_setiv(handle, iv.data(), iv.size()) != 0) {
            decryptError();
        }
    }

    ~TwofishCbcCipher() override { secureWipe(m_heldBack.data(), m_heldBack.size()); }
    TwofishCbcCipher(const TwofishCbcCipher&) = delete;
    TwofishCbcCipher& operator=(const TwofishCbcCipher&) = delete;

    uint32_t update(const uint8_t* input, uint32_t length, uint8_t* output) override {
        m_pending.insert(m_pending.end(), input, input + length);
        const std::size_t whole = m_pending.size() / kBlockSize * kBlockSize;
        if (whole == 0) {
            return 0;
        }
        m_plain.resize(whole);
        if (gcry_cipher_decrypt(m_handle.get(), m_plain.data(), whole, m_pending.data(), whole) !=
            0) {
            decryptError();
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(whole));
        uint32_t produced = 0;
        if (m_haveHeldBack) {
            std::memcpy(output, m_heldBack.data(), kBlockSize);
            produced = kBlockSize;
        }
        std::memcpy(output + produced, m_plain.data(), whole - kBlockSize);
        produced += static_cast<uint32_t>(whole - kBlockSize);
        std::memcpy(m_heldBack.data(), m_plain.data() + whole - kBlockSize, kBlockSize);
        m_haveHeldBack = true;
        return produced;
    }

    uint32_t finish(uint8_t* output) override {
        if (!m_pending.empty() || !m_haveHeldBack) {
            decryptError();
        }
        const uint8_t padding = m_heldBack[kBlockSize - 1];
        if (padding == 0 || padding > kBlockSize ||
            !std::all_of(m_heldBack.end() - padding, m_heldBack.end(),
                         [padding](uint8_t byte) { return byte == padding; })) {
            decryptError();
        }
        const uint32_t kept = kBlockSize - padding;
        std::memcpy(output, m_heldBack.data(), kept);
        m_haveHeldBack = false;
        return kept;
    }

private:
    struct Close {
        void operator()(gcry_cipher_hd_t handle) const noexcept { gcry_cipher_close(handle); }
    };
    std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, Close> m_handle;
    SecureBytes m_pending;
    SecureBytes m_plain;
    std::array<uint8_t, kBlockSize> m_heldBack{};
    bool m_haveHeldBack = false;
};

} // namespace

std::unique_ptr<PayloadCipher> PayloadCipher::createAes256Cbc(std::span<const uint8_t, 32> key,
                                                              std::span<const uint8_t, 16> iv) {
    return std::make_unique<OpenSslCipher>(EVP_aes_256_cbc(), key.data(), iv.data());
}

std::unique_ptr<PayloadCipher> PayloadCipher::createChaCha20(std::span<const uint8_t, 32> key,
                                                             std::span<const uint8_t, 12> nonce) {
    // OpenSSL takes a 16-byte IV: the 32-bit block counter (little-endian) and the nonce.
    std::array<uint8_t, 16> counterAndNonce{};
    std::copy(nonce.begin(), nonce.end(), counterAndNonce.begin() + 4);
    return std::make_unique<OpenSslCipher>(EVP_chacha20(), key.data(), counterAndNonce.data());
}

std::unique_ptr<PayloadCipher> PayloadCipher::createTwofishCbc(std::span<const uint8_t, 32> key,
                                                               std::span<const uint8_t, 16> iv) {
    return std::make_unique<TwofishCbcCipher>(key, iv);
}

} // namespace vaultora::kdb
