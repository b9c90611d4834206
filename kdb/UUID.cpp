#include "UUID.h"

#include <mutex>

#include <openssl/rand.h>

#include "DatabaseError.h"

namespace vaultora::kdb {

UUID::UUID() : ByteBuffer(16) {
    if (RAND_bytes(_bytes(), 16) != 1) {
        throw DatabaseError("AppError", "RandomFailure");
    }
    // Version 4 (random) and the variant bits of RFC 4122 section 4.4.
    _bytes()[6] = static_cast<uint8_t>((_bytes()[6] & 0x0F) | 0x40);
    _bytes()[8] = static_cast<uint8_t>((_bytes()[8] & 0x3F) | 0x80);
}

UUID::UUID(uint32_t size, InputSource& source) : ByteBuffer(size, source) {}

UUID::UUID(const std::array<uint8_t, 16>& bytes) : ByteBuffer(bytes.data(), 16) {}

UUID::UUID(const uint8_t* bytes, uint32_t size) : ByteBuffer(bytes, size) {}

std::string UUID::description() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (uint32_t index = 0; index < 16; ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10) {
            text += '-';
        }
        const uint8_t byte = index < _size() ? _bytes()[index] : 0;
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::shared_ptr<const UUID> UUID::getAESUUID() {
    static std::mutex lock;
    static std::shared_ptr<const UUID> shared;
    const std::lock_guard<std::mutex> guard(lock);
    if (!shared) {
        shared = std::make_shared<const UUID>(
            std::array<uint8_t, 16>{0x31, 0xC1, 0xF2, 0xE6, 0xBF, 0x71, 0x43, 0x50, 0xBE, 0x58,
                                    0x05, 0x21, 0x6A, 0xFC, 0x5A, 0xFF});
    }
    return shared;
}

} // namespace vaultora::kdb
