#include "tests/kdb/support/LimitedSource.h"

#include <algorithm>
#include <cstring>

namespace vaultora::kdb::testing {

LimitedSource::LimitedSource(std::vector<uint8_t> data, uint32_t endAfter)
    : m_data(std::move(data)) {
    if (endAfter < m_data.size()) {
        m_data.resize(endAfter);
    }
}

uint32_t LimitedSource::readBytes(void* destination, uint32_t length) {
    ++m_calls;
    const uint32_t count = std::min(length, static_cast<uint32_t>(m_data.size()) - m_offset);
    if (count > 0) {
        std::memcpy(destination, m_data.data() + m_offset, count);
    }
    m_offset += count;
    return count;
}

uint32_t LimitedSource::lengthOfRemainingReadbleBytes() {
    return static_cast<uint32_t>(m_data.size()) - m_offset;
}

uint32_t LimitedSource::setReadOffset(uint32_t offset) {
    m_offset = std::min(offset, static_cast<uint32_t>(m_data.size()));
    return m_offset;
}

uint32_t LimitedSource::moveReadOffset(int32_t distance) {
    const int64_t target = static_cast<int64_t>(m_offset) + distance;
    return setReadOffset(static_cast<uint32_t>(std::max<int64_t>(target, 0)));
}

} // namespace vaultora::kdb::testing
