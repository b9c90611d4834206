#include "WipingBuffer.h"

#include <algorithm>
#include <new>

namespace vaultora::kdb {

void WipingBuffer::grow(std::size_t length) {
    if (length > SIZE_MAX / 4 - m_size) {
        throw std::bad_alloc();
    }
    // Small buffers start at a cache line, so that short texts do not grow a byte at a time.
    SecureBytes larger(std::max({m_size + length, 2 * m_storage.size(), std::size_t{64}}));
    if (m_size > 0) {
        std::memcpy(larger.data(), m_storage.data(), m_size);
    }
    // The old storage is wiped by its allocator as it goes.
    m_storage.swap(larger);
}

} // namespace vaultora::kdb
