#pragma once

#include <cstdint>
#include <memory>

#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// Unwraps the SHA-256 hashed-block framing from the source it owns: each block carries its
// index, the hash of its payload, the payload size and the payload; a block of size 0 with
// an all-zero hash ends the stream.
class HashedBlockSource final : public InputSource {
public:
    explicit HashedBlockSource(std::unique_ptr<InputSource> source);

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    // The three positioning operations throw ("UnsupportedMethod", "UnsupportedMethod").
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    uint32_t setReadOffset(uint32_t offset) override;
    uint32_t moveReadOffset(int32_t distance) override;

private:
    // Reads and checks the next block; false at the terminating block.
    bool readBlock();

    std::unique_ptr<InputSource> m_dataSource;
    uint32_t m_blockIndex = 0;
    SecureBytes m_block;
    std::size_t m_blockOffset = 0;
    bool m_eof = false;
};

} // namespace vaultora::kdb
