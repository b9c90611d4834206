#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kdb/RandomStream.h"

namespace vaultora::kdb::testing {

// A key stream whose byte at position n is (n * 37 + 11) mod 256, so that a test can mask
// values for known positions and check how much of the stream each value took.
class XmlFakeRandomStream final : public RandomStream {
public:
    [[nodiscard]] std::string xorBytes(const uint8_t* bytes, std::size_t length) override;

    // The Base64 text of plain masked with the key stream from position offset on.
    [[nodiscard]] static std::string mask(std::string_view plain, std::size_t offset);

    [[nodiscard]] const std::vector<std::size_t>& consumedPerCall() const { return m_consumed; }
    [[nodiscard]] std::size_t position() const { return m_position; }

private:
    std::size_t m_position = 0;
    std::vector<std::size_t> m_consumed;
};

} // namespace vaultora::kdb::testing
