#include "HmacBlockSource.h"

#include <algorithm>
#include <cstring>

#include <openssl/crypto.h>

#include "Codec.h"
#include "DatabaseError.h"

namespace vaultora::kdb {

namespace {
std::array<uint8_t, 8> littleEndian64(uint64_t value) {
    std::array<uint8_t, 8> bytes{};
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

[[noreturn]] void invalidBlock() {
    throw DatabaseError("InvalidData", "InvalidBlock");
}
} // namespace

HmacBlockSource::HmacBlockSource(std::unique_ptr<InputSource> source,
                                 const Sha512Digest& hmacBaseKey)
    : BlockFramedSource(std::move(source)), m_baseKey(hmacBaseKey) {}

HmacBlockSource::~HmacBlockSource() {
    secureWipe(m_baseKey.data(), m_baseKey.size());
}

Sha512Digest HmacBlockSource::blockKey(uint64_t index, const Sha512Digest& hmacBaseKey) {
    std::array<uint8_t, 8 + 64> input{};
    const std::array<uint8_t, 8> indexBytes = littleEndian64(index);
    std::copy(indexBytes.begin(), indexBytes.end(), input.begin());
    std::copy(hmacBaseKey.begin(), hmacBaseKey.end(), input.begin() + 8);
    Sha512Digest key{};
    sha512(input.data(), input.size(), key.data());
    secureWipe(input.data(), input.size());
    return key;
}

bool HmacBlockSource::readBlock() {
    if (m_eof) {
        return false;
    }
    Sha256Digest storedHmac{};
    if (dataSource().readBytes(storedHmac.data(), storedHmac.size()) != storedHmac.size()) {
        invalidBlock();
    }
    std::array<uint8_t, 4> sizeBytes{};
    if (dataSource().readBytes(sizeBytes.data(), 4) != 4) {
        invalidBlock();
    }
    const int32_t size = static_cast<int32_t>(
        static_cast<uint32_t>(sizeBytes[0]) | (static_cast<uint32_t>(sizeBytes[1]) << 8) |
        (static_cast<uint32_t>(sizeBytes[2]) << 16) | (static_cast<uint32_t>(sizeBytes[3]) << 24));
    if (size < 0) {
        invalidBlock();
    }

    readBlockPayload(static_cast<uint32_t>(size));

    Sha512Digest key = blockKey(m_blockIndex, m_baseKey);
    const std::array<uint8_t, 8> indexBytes = littleEndian64(m_blockIndex);
    Sha256Digest actualHmac{};
    hmacSha256(key, {indexBytes, sizeBytes, m_block}, actualHmac.data());
    secureWipe(key.data(), key.size());
    if (CRYPTO_memcmp(actualHmac.data(), storedHmac.data(), actualHmac.size()) != 0) {
        throw DatabaseError("InvalidData", "InvalidBlockHmac");
    }
    ++m_blockIndex;
    if (size == 0) {
        m_eof = true;
        return false;
    }
    return true;
}

} // namespace vaultora::kdb
