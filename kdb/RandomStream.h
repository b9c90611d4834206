#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vaultora::kdb {

// The inner random stream that unmasks protected values of a version-2 payload. Each call
// consumes as many key-stream bytes as it is given, so values must be unmasked exactly once
// each, in document order.
class RandomStream {
public:
    virtual ~RandomStream() = default;

    // XORs the bytes with the next key-stream bytes and decodes the result as UTF-8.
    // Bytes that are not valid UTF-8 give the empty text (the stream has still advanced).
    [[nodiscard]] virtual std::string xorBytes(const uint8_t* bytes, std::size_t length) = 0;
};

} // namespace vaultora::kdb
