#include "AesDecryptingSource.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <openssl/evp.h>

#include "DatabaseError.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {
// CBC decryption with padding may hand out one held-back block on top of the input size.
constexpr uint32_t kOutputRoom = AesDecryptingSource::kSliceSize + 16;

[[noreturn]] void decryptError() {
    throw DatabaseError("DecryptError", "DecryptError");
}
} // namespace

struct AesDecryptingSource::Cipher {
    struct Free {
        void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
    };
    std::unique_ptr<EVP_CIPHER_CTX, Free> context{EVP_CIPHER_CTX_new()};
};

AesDecryptingSource::AesDecryptingSource(std::unique_ptr<InputSource> source,
                                         std::span<const uint8_t, 32> key,
                                         std::span<const uint8_t, 16> initialisationVector)
    : m_source(std::move(source)), m_cryptor(std::make_unique<Cipher>()),
      m_inputBuffer(std::make_unique<uint8_t[]>(kSliceSize)),
      m_outputBuffer(std::make_unique<uint8_t[]>(kOutputRoom)) {
    if (!m_cryptor->context ||
        EVP_DecryptInit_ex(m_cryptor->context.get(), EVP_aes_256_cbc(), nullptr, key.data(),
                           initialisationVector.data()) != 1) {
        decryptError();
    }
}

AesDecryptingSource::~AesDecryptingSource() {
    // The plain text may hold secrets of the database.
    secureWipe(m_outputBuffer.get(), kOutputRoom);
}

bool AesDecryptingSource::decrypt() {
    if (m_eof) {
        return false;
    }
    m_bufferOffset = 0;
    m_bufferSize = 0;
    const uint32_t delivered = m_source->readBytes(m_inputBuffer.get(), kSliceSize);
    if (delivered > 0) {
        int produced = 0;
        if (EVP_DecryptUpdate(m_cryptor->context.get(), m_outputBuffer.get(), &produced,
                              m_inputBuffer.get(), static_cast<int>(delivered)) != 1) {
            decryptError();
        }
        m_bufferSize += static_cast<uint32_t>(produced);
        if (delivered == kSliceSize) {
            return true;
        }
    }
    int finished = 0;
    if (EVP_DecryptFinal_ex(m_cryptor->context.get(), m_outputBuffer.get() + m_bufferSize,
                            &finished) != 1) {
        decryptError();
    }
    m_bufferSize += static_cast<uint32_t>(finished);
    m_eof = true;
    return true;
}

uint32_t AesDecryptingSource::readBytes(void* destination, uint32_t length) {
    auto* target = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    while (delivered < length) {
        if (m_bufferOffset >= m_bufferSize && !decrypt()) {
            return delivered;
        }
        const uint32_t count = std::min(length - delivered, m_bufferSize - m_bufferOffset);
        if (count > 0) {
            std::memcpy(target + delivered, m_outputBuffer.get() + m_bufferOffset, count);
        }
        m_bufferOffset += count;
        delivered += count;
    }
    return delivered;
}

uint32_t AesDecryptingSource::lengthOfRemainingReadbleBytes() {
    throw DatabaseError("UnsupportedMethod", "lengthOfRemainingReadbleBytes");
}

uint32_t AesDecryptingSource::setReadOffset(uint32_t) {
    throw DatabaseError("UnsupportedMethod", "setReadOffset");
}

uint32_t AesDecryptingSource::moveReadOffset(int32_t distance) {
    if (distance < 0) {
        throw DatabaseError("UnsupportedMethod", "moveReadOffset");
    }
    std::array<uint8_t, 4096> scratch{};
    auto remaining = static_cast<uint32_t>(distance);
    while (remaining > 0) {
        const uint32_t want = std::min<uint32_t>(remaining, scratch.size());
        const uint32_t got = readBytes(scratch.data(), want);
        remaining -= got;
        if (got < want) {
            break;
        }
    }
    secureWipe(scratch.data(), scratch.size());
    return 0;
}

} // namespace vaultora::kdb
