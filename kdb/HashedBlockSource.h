#pragma once

#include <cstdint>
#include <memory>

#include "BlockFramedSource.h"

namespace vaultora::kdb {

// Unwraps the SHA-256 hashed-block framing from the source it owns: each block carries its
// index, the hash of its payload, the payload size and the payload; a block of size 0 with
// an all-zero hash ends the stream.
class HashedBlockSource final : public BlockFramedSource {
public:
    explicit HashedBlockSource(std::unique_ptr<InputSource> source);

private:
    // Reads and checks the next block; false at the terminating block.
    bool readBlock() override;

    uint32_t m_blockIndex = 0;
};

} // namespace vaultora::kdb
