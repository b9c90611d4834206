#pragma once

#include <cstdint>
#include <vector>

#include "kdb/InputSource.h"

namespace vaultora::kdb::testing {

// A test source over a byte vector that ends after endAfter bytes, as a file cut short
// would, and counts what its callers took.
class LimitedSource final : public InputSource {
public:
    explicit LimitedSource(std::vector<uint8_t> data, uint32_t endAfter = UINT32_MAX);

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    uint32_t setReadOffset(uint32_t offset) override;
    uint32_t moveReadOffset(int32_t distance) override;

    [[nodiscard]] uint32_t bytesRead() const { return m_offset; }
    [[nodiscard]] uint32_t readCalls() const { return m_calls; }

private:
    std::vector<uint8_t> m_data;
    uint32_t m_offset = 0;
    uint32_t m_calls = 0;
};

} // namespace vaultora::kdb::testing
