#pragma once

#include <memory>

#include "AttachmentContainer.h"

namespace vaultora::kdb {

// Keeps the attachment in memory.
class MemoryAttachmentContainer final : public AttachmentContainer {
public:
    // Reads as the bytes arrive, so a size larger than the data never allocates more than
    // the source holds; bytes that never arrived are not stored (getSize() tells).
    uint32_t storeBinary(InputSource& source, uint32_t size) override;
    [[nodiscard]] const ByteBuffer* getBinary() const override { return m_buffer.get(); }
    [[nodiscard]] uint32_t getSize() const override { return m_buffer ? m_buffer->_size() : 0; }

private:
    std::unique_ptr<ByteBuffer> m_buffer;
};

} // namespace vaultora::kdb
