#include "BlockFramedSource.h"

#include <algorithm>
#include <cstring>

#include "DatabaseError.h"

namespace vaultora::kdb {

namespace {

// Payloads are read in steps of this size and the block grows only as bytes arrive, so a
// size field larger than the data left never allocates more than the data itself.
constexpr uint32_t kReadStep = 1u << 20;

} // namespace

BlockFramedSource::BlockFramedSource(std::unique_ptr<InputSource> source)
    : m_dataSource(std::move(source)) {}

void BlockFramedSource::readBlockPayload(uint32_t size) {
    m_block.clear();
    m_blockOffset = 0;
    uint32_t filled = 0;
    while (filled < size) {
        const uint32_t step = std::min(size - filled, std::max(kReadStep, filled));
        m_block.resize(static_cast<std::size_t>(filled) + step);
        const uint32_t got = m_dataSource->readBytes(m_block.data() + filled, step);
        filled += got;
        if (got < step) {
            throw DatabaseError("InvalidData", "InvalidBlock");
        }
    }
}

uint32_t BlockFramedSource::readBytes(void* destination, uint32_t length) {
    auto* target = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    while (delivered < length) {
        if (m_blockOffset >= m_block.size() && !readBlock()) {
            return delivered;
        }
        const auto count = static_cast<uint32_t>(
            std::min<std::size_t>(length - delivered, m_block.size() - m_blockOffset));
        std::memcpy(target + delivered, m_block.data() + m_blockOffset, count);
        m_blockOffset += count;
        delivered += count;
    }
    return delivered;
}

uint32_t BlockFramedSource::lengthOfRemainingReadbleBytes() {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t BlockFramedSource::setReadOffset(uint32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t BlockFramedSource::moveReadOffset(int32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

} // namespace vaultora::kdb
