#pragma once

#include <memory>

#include "BinaryContainer.h"

namespace kdb {

// Keeps the attachment in memory.
class MemoryBinaryContainer final : public BinaryContainer {
public:
    // Reads as the bytes arrive, so a size larger than the data never allocates more than
    // the source holds; bytes that never arrived are not stored (getSize() tells).
    uint32_t storeBinary(InputDataSource& source, uint32_t size) override;
    [[nodiscard]] const ByteBuffer* getBinary() const override { return m_buffer.get(); }
    [[nodiscard]] uint32_t getSize() const override { return m_buffer ? m_buffer->_size() : 0; }

private:
    std::unique_ptr<ByteBuffer> m_buffer;
};

} // namespace kdb
