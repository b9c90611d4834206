#pragma once

#include <cstdint>

namespace kdb {

// A forward-reading byte stream. Decorators (decryption, hashed blocks, inflation) pull
// from the source they wrap; only the file source can be positioned freely. Operations a
// source does not support throw KdbException("UnsupportedMethod", ...).
class InputDataSource {
public:
    virtual ~InputDataSource() = default;

    // Copies up to length bytes into destination; fewer only at the end of the data.
    [[nodiscard]] virtual uint32_t readBytes(void* destination, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t lengthOfRemainingReadbleBytes() = 0;
    virtual uint32_t setReadOffset(uint32_t offset) = 0;
    virtual uint32_t moveReadOffset(int32_t distance) = 0;
};

} // namespace kdb
