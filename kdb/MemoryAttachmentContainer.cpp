#include "MemoryAttachmentContainer.h"

namespace vaultora::kdb {

uint32_t MemoryAttachmentContainer::storeBinary(InputSource& source, uint32_t size) {
    if (m_buffer) {
        return 0;
    }
    m_buffer = ByteBuffer::readUpTo(source, size);
    return m_buffer->_size();
}

} // namespace vaultora::kdb
