#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "SecureBytes.h"

namespace vaultora::kdb {

// Bytes written at their end a few at a time, for buffers that are reused throughout one pass
// over a payload: the blocks of a BlockChannel, the text of an element being read. Writing
// checks the room left and copies, with no call per write; the buffer grows only for a write
// larger than its room. It holds decrypted text, so what it held is wiped when it is cleared or
// cut short, and its storage is wiped whole when it grows and when it goes (by the storage's
// allocator).
class WipingBuffer {
public:
    WipingBuffer() = default;
    explicit WipingBuffer(std::size_t capacity) : m_storage(capacity) {}
    ~WipingBuffer() = default;
    WipingBuffer(WipingBuffer&& other) noexcept
        : m_storage(std::move(other.m_storage)), m_size(other.m_size) {
        other.m_size = 0;
    }
    WipingBuffer& operator=(WipingBuffer&& other) noexcept {
        if (this != &other) {
            m_storage = std::move(other.m_storage);
            m_size = other.m_size;
            other.m_size = 0;
        }
        return *this;
    }
    WipingBuffer(const WipingBuffer&) = delete;
    WipingBuffer& operator=(const WipingBuffer&) = delete;

    void append(const void* bytes, std::size_t length) {
        // An empty text may come without an address, which the copy must not be given.
        if (length == 0) {
            return;
        }
        if (length > m_storage.size() - m_size) {
            grow(length);
        }
        std::memcpy(m_storage.data() + m_size, bytes, length);
        m_size += length;
    }
    template <typename Value> void appendValue(const Value& value) {
        append(&value, sizeof(Value));
    }

    [[nodiscard]] const unsigned char* data() const noexcept { return m_storage.data(); }
    [[nodiscard]] std::string_view text() const noexcept {
        return {reinterpret_cast<const char*>(m_storage.data()), m_size};
    }
    [[nodiscard]] std::size_t size() const noexcept { return m_size; }
    [[nodiscard]] bool empty() const noexcept { return m_size == 0; }
    [[nodiscard]] std::size_t capacity() const noexcept { return m_storage.size(); }

    void clear() noexcept {
        secureWipe(m_storage.data(), m_size);
        m_size = 0;
    }
    // Keeps the first bytes only.
    void truncate(std::size_t size) noexcept {
        if (size < m_size) {
            secureWipe(m_storage.data() + size, m_size - size);
            m_size = size;
        }
    }

private:
    void grow(std::size_t length);

    // Its whole size is the room; the wiping allocator wipes it when it goes.
    SecureBytes m_storage;
    std::size_t m_size = 0;
};

} // namespace vaultora::kdb
