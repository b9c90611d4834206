#pragma once

#include <cstdint>
#include <memory>

#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// What the two block framings of version-2 payloads share (SHA-256 hashed blocks and HMAC
// blocks): the source they own, the checked block they deliver from, and reads that run
// across block boundaries. A framing reads and checks one block at a time in readBlock.
class BlockFramedSource : public InputSource {
public:
    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) final;
    // The three positioning operations throw ("UnsupportedMethod", "UnsupportedMethod").
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() final;
    uint32_t setReadOffset(uint32_t offset) final;
    uint32_t moveReadOffset(int32_t distance) final;

protected:
    explicit BlockFramedSource(std::unique_ptr<InputSource> source);

    // Reads and checks the next block into m_block; false once the stream has ended.
    virtual bool readBlock() = 0;
    // Replaces the block with the next size bytes of the source, all of which must be there
    // (("InvalidData", "InvalidBlock") otherwise).
    void readBlockPayload(uint32_t size);

    InputSource& dataSource() { return *m_dataSource; }

    SecureBytes m_block;
    bool m_eof = false;

private:
    std::unique_ptr<InputSource> m_dataSource;
    std::size_t m_blockOffset = 0;
};

} // namespace vaultora::kdb
