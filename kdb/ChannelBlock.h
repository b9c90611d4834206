#pragma once

#include <cstddef>
#include <cstring>

#include "SecureBytes.h"

namespace vaultora::kdb {

// A block of bytes on its way through a BlockChannel: written at its end a few bytes at a
// time, read whole. Writing checks the room left and copies, with no call per write; a block
// grows only for a write larger than its room. It may hold decrypted text, so what it held is
// wiped when it is cleared, when it grows and when it goes (by the storage's allocator).
class ChannelBlock {
public:
    ChannelBlock() = default;
    explicit ChannelBlock(std::size_t capacity) : m_storage(capacity) {}
    ~ChannelBlock() = default;
    ChannelBlock(ChannelBlock&& other) noexcept
        : m_storage(std::move(other.m_storage)), m_size(other.m_size) {
        other.m_size = 0;
    }
    ChannelBlock& operator=(ChannelBlock&& other) noexcept {
        if (this != &other) {
            clear();
            m_storage = std::move(other.m_storage);
            m_size = other.m_size;
            other.m_size = 0;
        }
        return *this;
    }
    ChannelBlock(const ChannelBlock&) = delete;
    ChannelBlock& operator=(const ChannelBlock&) = delete;

    void append(const void* bytes, std::size_t length) {
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
    [[nodiscard]] std::size_t size() const noexcept { return m_size; }
    [[nodiscard]] bool empty() const noexcept { return m_size == 0; }
    [[nodiscard]] std::size_t capacity() const noexcept { return m_storage.size(); }

    void clear() noexcept { truncate(0); }
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
