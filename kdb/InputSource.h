#pragma once

#include <cstdint>

namespace vaultora::kdb {

// A forward-reading byte stream. Decorators (decryption, hashed blocks, inflation) pull
// from the source they wrap; only the file source can be positioned freely. Operations a
// source does not support throw DatabaseError("UnsupportedMethod", ...).
class InputSource {
public:
    virtual ~InputSource() = default;

    // Copies up to length bytes into destination; fewer only at the end of the data.
    [[nodiscard]] virtual uint32_t readBytes(void* destination, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t lengthOfRemainingReadbleBytes() = 0;
    virtual uint32_t setReadOffset(uint32_t offset) = 0;
    virtual uint32_t moveReadOffset(int32_t distance) = 0;
};

} // namespace vaultora::kdb
