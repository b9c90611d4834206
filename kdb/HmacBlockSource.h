#pragma once

#include <cstdint>
#include <memory>

#include "InputSource.h"
#include "SecureBytes.h"
#include "Sha256.h"

namespace vaultora::kdb {

// Unwraps the HMAC-SHA-256 block framing of format-4 payloads from the source it owns: each
// block is its HMAC, its size and its data; the HMAC covers the block's index, size and data
// under the block's own key. An empty block (whose HMAC is checked too) ends the stream.
class HmacBlockSource final : public InputSource {
public:
    // hmacBaseKey is SHA-512(master seed || transformed key || 0x01).
    HmacBlockSource(std::unique_ptr<InputSource> source, const Sha512Digest& hmacBaseKey);
    ~HmacBlockSource() override;
    HmacBlockSource(const HmacBlockSource&) = delete;
    HmacBlockSource& operator=(const HmacBlockSource&) = delete;

    // The key of block index: SHA-512(index as 64-bit little-endian || base key). The header's
    // HMAC uses index UINT64_MAX.
    [[nodiscard]] static Sha512Digest blockKey(uint64_t index, const Sha512Digest& hmacBaseKey);

    // A block cut short or with a negative size throws ("InvalidData", "InvalidBlock"); a
    // wrong HMAC throws ("InvalidData", "InvalidBlockHmac").
    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    // The three positioning operations throw ("UnsupportedMethod", "UnsupportedMethod").
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    uint32_t setReadOffset(uint32_t offset) override;
    uint32_t moveReadOffset(int32_t distance) override;

private:
    bool readBlock();

    std::unique_ptr<InputSource> m_dataSource;
    Sha512Digest m_baseKey{};
    uint64_t m_blockIndex = 0;
    SecureBytes m_block;
    std::size_t m_blockOffset = 0;
    bool m_eof = false;
};

} // namespace vaultora::kdb
