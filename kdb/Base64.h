#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vaultora::kdb {

// Decodes the Base64 text of protected values.
class Base64 {
public:
    Base64() = delete;

    // Text that is not ASCII or whose length is not a multiple of 4 yields no bytes.
    // White space is not skipped, and a character outside the alphabet counts as 0.
    [[nodiscard]] static std::vector<uint8_t> decode(std::string_view text);
};

} // namespace vaultora::kdb
