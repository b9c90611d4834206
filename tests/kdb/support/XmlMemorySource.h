#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kdb/InputSource.h"

namespace vaultora::kdb::testing {

// An in-memory payload for the XML parser that records the size of every read it served,
// and can fail, as a damaged stream layer would, once a given number of bytes is delivered.
class XmlMemorySource final : public InputSource {
public:
    explicit XmlMemorySource(std::string payload);

    // After this many bytes the next read throws ("InvalidData", "InvalidBlockHash").
    void failAfter(uint32_t bytes) { m_failAfter = bytes; }

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    uint32_t setReadOffset(uint32_t offset) override;
    uint32_t moveReadOffset(int32_t distance) override;

    [[nodiscard]] const std::vector<uint32_t>& deliveredPerRead() const { return m_delivered; }

private:
    std::string m_payload;
    uint32_t m_offset = 0;
    std::optional<uint32_t> m_failAfter;
    std::vector<uint32_t> m_delivered;
};

} // namespace vaultora::kdb::testing
