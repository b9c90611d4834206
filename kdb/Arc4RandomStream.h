#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "KeyStreamRandomStream.h"

namespace vaultora::kdb {

// The ARC4 key stream of the protected-stream key, with its first 512 bytes dropped.
class Arc4RandomStream final : public KeyStreamRandomStream {
public:
    // An empty key cannot key the cipher and throws ("InvalidHeader",
    // "InvalidProtectedStreamKey").
    Arc4RandomStream(const uint8_t* key, std::size_t length);
    ~Arc4RandomStream() override;
    Arc4RandomStream(const Arc4RandomStream&) = delete;
    Arc4RandomStream& operator=(const Arc4RandomStream&) = delete;

    void applyKeyStream(uint8_t* bytes, std::size_t length) noexcept override;

private:
    // Generates the next 1024 key-stream bytes.
    void updateState() noexcept;

    std::array<uint8_t, 256> m_state{};
    uint32_t m_i = 0;
    uint32_t m_j = 0;
    std::array<uint8_t, 1024> m_buffer{};
    std::size_t m_index = 0;
};

} // namespace vaultora::kdb
