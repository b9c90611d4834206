#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "KeyStreamRandomStream.h"

namespace vaultora::kdb {

// The Salsa20/20 key stream of key SHA-256(protected-stream key) and a fixed nonce,
// from block 0 on.
class Salsa20RandomStream final : public KeyStreamRandomStream {
public:
    Salsa20RandomStream(const uint8_t* key, std::size_t length);
    ~Salsa20RandomStream() override;
    Salsa20RandomStream(const Salsa20RandomStream&) = delete;
    Salsa20RandomStream& operator=(const Salsa20RandomStream&) = delete;

    void applyKeyStream(uint8_t* bytes, std::size_t length) noexcept override;

    // Rekeying and setting the nonce restart the block counter at 0 but keep the position
    // within the current block; they are meant to be used before the first xorBytes.
    void setKey(std::span<const uint8_t, 32> key) noexcept;
    void setIV(std::span<const uint8_t, 8> nonce) noexcept;
    [[nodiscard]] static uint32_t uint8To32Little(const uint8_t* bytes,
                                                  std::size_t offset) noexcept;
    [[nodiscard]] static uint32_t rotl(uint32_t word, uint32_t count) noexcept;

private:
    // Generates the next 64 key-stream bytes and counts the block up.
    void updateState() noexcept;

    std::array<uint32_t, 16> m_state{};
    std::size_t m_index = 0;
    std::array<uint8_t, 64> m_keyStream{};
};

} // namespace vaultora::kdb
