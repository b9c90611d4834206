#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "RandomStream.h"

namespace vaultora::kdb {

// An inner random stream built from a key stream: unmasking XORs a copy of the value with the
// next key-stream bytes and keeps the result only when it is valid UTF-8.
class KeyStreamRandomStream : public RandomStream {
public:
    [[nodiscard]] std::string xorBytes(const uint8_t* bytes, std::size_t length) final;
    // XORs the bytes in place with the next key-stream bytes.
    virtual void applyKeyStream(uint8_t* bytes, std::size_t length) noexcept = 0;
};

} // namespace vaultora::kdb
