#include "MemoryBinaryContainer.h"

namespace kdb {

uint32_t MemoryBinaryContainer::storeBinary(InputDataSource& source, uint32_t size) {
    if (m_buffer) {
        return 0;
    }
    m_buffer = ByteBuffer::readUpTo(source, size);
    return m_buffer->_size();
}

} // namespace kdb
