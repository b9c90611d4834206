#pragma once

#include <cstdint>
#include <memory>

#include "BlockFramedSource.h"
#include "Sha256.h"

namespace vaultora::kdb {

// Unwraps the HMAC-SHA-256 block framing of format-4 payloads from the source it owns: each
// block is its HMAC, its size and its data; the HMAC covers the block's index, size and data
// under the block's own key. An empty block (whose HMAC is checked too) ends the stream.
class HmacBlockSource final : public BlockFramedSource {
public:
    // hmacBaseKey is SHA-512(master seed || transformed key || 0x01).
    HmacBlockSource(std::unique_ptr<InputSource> source, const Sha512Digest& hmacBaseKey);
    ~HmacBlockSource() override;
    HmacBlockSource(const HmacBlockSource&) = delete;
    HmacBlockSource& operator=(const HmacBlockSource&) = delete;

    // The key of block index: SHA-512(index as 64-bit little-endian || base key). The header's
    // HMAC uses index UINT64_MAX.
    [[nodiscard]] static Sha512Digest blockKey(uint64_t index, const Sha512Digest& hmacBaseKey);

private:
    // A block cut short or with a negative size throws ("InvalidData", "InvalidBlock"); a
    // wrong HMAC throws ("InvalidData", "InvalidBlockHmac").
    bool readBlock() override;

    Sha512Digest m_baseKey{};
    uint64_t m_blockIndex = 0;
};

} // namespace vaultora::kdb
