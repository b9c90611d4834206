#include "XmlMemorySource.h"

#include <algorithm>
#include <cstring>

#include "kdb/DatabaseError.h"

namespace vaultora::kdb::testing {

XmlMemorySource::XmlMemorySource(std::string payload) : m_payload(std::move(payload)) {}

uint32_t XmlMemorySource::readBytes(void* destination, uint32_t length) {
    if (m_failAfter && m_offset >= *m_failAfter) {
        throw DatabaseError("InvalidData", "InvalidBlockHash");
    }
    uint32_t count = std::min<uint32_t>(length, static_cast<uint32_t>(m_payload.size()) - m_offset);
    if (m_failAfter) {
        count = std::min(count, *m_failAfter - m_offset);
    }
    std::memcpy(destination, m_payload.data() + m_offset, count);
    m_offset += count;
    m_delivered.push_back(count);
    return count;
}

uint32_t XmlMemorySource::lengthOfRemainingReadbleBytes() {
    return static_cast<uint32_t>(m_payload.size()) - m_offset;
}

uint32_t XmlMemorySource::setReadOffset(uint32_t offset) {
    m_offset = std::min(offset, static_cast<uint32_t>(m_payload.size()));
    return m_offset;
}

uint32_t XmlMemorySource::moveReadOffset(int32_t distance) {
    return setReadOffset(m_offset + static_cast<uint32_t>(distance));
}

} // namespace vaultora::kdb::testing
