#include "ByteBuffer.h"

#include <algorithm>
#include <cstring>

#include "DatabaseError.h"

namespace vaultora::kdb {

namespace {
// Growth step of readUpTo: large enough to keep reallocation rare, small enough that a lying
// size field costs little.
constexpr uint32_t kReadChunk = 1u << 20;
} // namespace

ByteBuffer::ByteBuffer(uint32_t size) : m_bytes(size, 0), m_size(size), m_delivered(0) {}

ByteBuffer::ByteBuffer(uint32_t size, InputSource& source) : ByteBuffer(size) {
    m_delivered = size == 0 ? 0 : source.readBytes(m_bytes.data(), size);
}

ByteBuffer::ByteBuffer(const uint8_t* bytes, uint32_t size)
    : m_bytes(bytes, bytes + size), m_size(size), m_delivered(size) {}

std::unique_ptr<ByteBuffer> ByteBuffer::readUpTo(InputSource& source, uint32_t size) {
    std::unique_ptr<ByteBuffer> buffer(new ByteBuffer());
    uint32_t filled = 0;
    while (filled < size) {
        const uint32_t want = std::min(size - filled, std::max(kReadChunk, filled));
        buffer->m_bytes.resize(static_cast<std::size_t>(filled) + want);
        const uint32_t got = source.readBytes(buffer->m_bytes.data() + filled, want);
        filled += got;
        if (got < want) {
            break;
        }
    }
    buffer->m_bytes.resize(filled);
    buffer->m_size = filled;
    buffer->m_delivered = filled;
    return buffer;
}

void ByteBuffer::set_size(uint32_t size) {
    if (size > capacity()) {
        throw DatabaseError("AppError", "BufferSize");
    }
    m_size = size;
}

bool ByteBuffer::isEqual(const ByteBuffer& other) const noexcept {
    if (this == &other) {
        return true;
    }
    return m_size == other.m_size &&
           (m_size == 0 || std::memcmp(_bytes(), other._bytes(), m_size) == 0);
}

uint32_t ByteBuffer::hash() const noexcept {
    uint32_t value = 1;
    for (uint32_t index = 0; index < m_size; ++index) {
        value = value * 17u + m_bytes[index];
    }
    return value;
}

std::string ByteBuffer::description() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(static_cast<std::size_t>(m_size) * 3);
    for (uint32_t index = 0; index < m_size; ++index) {
        text += kDigits[m_bytes[index] >> 4];
        text += kDigits[m_bytes[index] & 0x0F];
        text += ' ';
    }
    return text;
}

} // namespace vaultora::kdb
