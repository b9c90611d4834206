#include "DecryptingSource.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "DatabaseError.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {
// CBC decryption with padding may hand out one held-back block on top of the input size.
constexpr uint32_t kOutputRoom = DecryptingSource::kSliceSize + 16;
} // namespace

DecryptingSource::DecryptingSource(std::unique_ptr<InputSource> source,
                                   std::unique_ptr<PayloadCipher> cipher)
    : m_source(std::move(source)), m_cryptor(std::move(cipher)),
      m_inputBuffer(std::make_unique_for_overwrite<uint8_t[]>(kSliceSize)),
      m_outputBuffer(std::make_unique_for_overwrite<uint8_t[]>(kOutputRoom)) {}

DecryptingSource::DecryptingSource(std::unique_ptr<InputSource> source,
                                   std::span<const uint8_t, 32> key,
                                   std::span<const uint8_t, 16> initialisationVector)
    : DecryptingSource(std::move(source),
                       PayloadCipher::createAes256Cbc(key, initialisationVector)) {}

DecryptingSource::~DecryptingSource() {
    // The plain text may hold secrets of the database. Only what was written is wiped: the
    // rest of the buffer was never touched, and a small file leaves most of it so.
    secureWipe(m_outputBuffer.get(), m_outputWritten);
}

bool DecryptingSource::decrypt() {
    if (m_eof) {
        return false;
    }
    m_bufferOffset = 0;
    m_bufferSize = 0;
    const uint32_t delivered = m_source->readBytes(m_inputBuffer.get(), kSliceSize);
    if (delivered > 0) {
        // Counted before the call, which may write its output and then fail.
        m_outputWritten = std::max(m_outputWritten, std::min(kOutputRoom, delivered + 16));
        m_bufferSize += m_cryptor->update(m_inputBuffer.get(), delivered, m_outputBuffer.get());
        if (delivered == kSliceSize) {
            return true;
        }
    }
    // A held-back block at most.
    m_outputWritten = std::max(m_outputWritten, std::min(kOutputRoom, m_bufferSize + 16));
    m_bufferSize += m_cryptor->finish(m_outputBuffer.get() + m_bufferSize);
    m_eof = true;
    return true;
}

uint32_t DecryptingSource::readBytes(void* destination, uint32_t length) {
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

uint32_t DecryptingSource::lengthOfRemainingReadbleBytes() {
    throw DatabaseError("UnsupportedMethod", "lengthOfRemainingReadbleBytes");
}

uint32_t DecryptingSource::setReadOffset(uint32_t) {
    throw DatabaseError("UnsupportedMethod", "setReadOffset");
}

uint32_t DecryptingSource::moveReadOffset(int32_t distance) {
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
