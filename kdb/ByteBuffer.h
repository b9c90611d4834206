#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// An owned block of bytes. The recorded length (_size) may be set below the allocated
// capacity to mark how much of a fixed-capacity buffer is valid. The bytes are wiped when
// the buffer goes away, because buffers carry decrypted data and key material.
class ByteBuffer {
public:
    // A zero-filled buffer of that size.
    explicit ByteBuffer(uint32_t size);
    // Asks the source once for size bytes; bytes that do not arrive stay zero. delivered()
    // tells how many did arrive.
    ByteBuffer(uint32_t size, InputSource& source);
    ByteBuffer(const uint8_t* bytes, uint32_t size);
    virtual ~ByteBuffer() = default;

    ByteBuffer(const ByteBuffer&) = default;
    ByteBuffer& operator=(const ByteBuffer&) = default;
    ByteBuffer(ByteBuffer&&) noexcept = default;
    ByteBuffer& operator=(ByteBuffer&&) noexcept = default;

    // Reads up to size bytes and grows only as they arrive, so a size field larger than the
    // data never allocates more than the source really holds. The result's _size is the
    // number of bytes delivered.
    [[nodiscard]] static std::unique_ptr<ByteBuffer> readUpTo(InputSource& source, uint32_t size);

    [[nodiscard]] uint8_t* _bytes() noexcept { return m_bytes.data(); }
    [[nodiscard]] const uint8_t* _bytes() const noexcept { return m_bytes.data(); }
    [[nodiscard]] uint32_t _size() const noexcept { return m_size; }
    // Changes only the recorded length; never above the allocated capacity.
    void set_size(uint32_t size);
    [[nodiscard]] uint32_t capacity() const noexcept {
        return static_cast<uint32_t>(m_bytes.size());
    }
    [[nodiscard]] uint32_t delivered() const noexcept { return m_delivered; }

    // Equal when the recorded lengths and the bytes are the same, whatever the subclass.
    [[nodiscard]] bool isEqual(const ByteBuffer& other) const noexcept;
    [[nodiscard]] bool operator==(const ByteBuffer& other) const noexcept { return isEqual(other); }
    [[nodiscard]] uint32_t hash() const noexcept;
    // Each byte as two upper-case hexadecimal digits followed by a blank.
    [[nodiscard]] virtual std::string description() const;

private:
    ByteBuffer() = default;

    std::vector<uint8_t, WipingAllocator<uint8_t>> m_bytes;
    uint32_t m_size = 0;
    uint32_t m_delivered = 0;
};

} // namespace vaultora::kdb
