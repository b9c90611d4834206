#include "Salsa20RandomStream.h"

#include "SecureBytes.h"
#include "Sha256.h"

namespace vaultora::kdb {

namespace {
constexpr std::array<uint8_t, 8> kNonce{0xE8, 0x30, 0x09, 0x4B, 0x97, 0x20, 0x5D, 0x2A};
} // namespace

Salsa20RandomStream::Salsa20RandomStream(const uint8_t* key, std::size_t length) {
    std::array<uint8_t, 32> hashedKey{};
    sha256(key, length, hashedKey.data());
    setKey(hashedKey);
    setIV(kNonce);
    m_index = 0;
    secureWipe(hashedKey.data(), hashedKey.size());
}

Salsa20RandomStream::~Salsa20RandomStream() {
    secureWipe(m_state.data(), sizeof(m_state));
    secureWipe(m_keyStream.data(), m_keyStream.size());
}

void Salsa20RandomStream::setKey(std::span<const uint8_t, 32> key) noexcept {
    for (std::size_t word = 0; word < 4; ++word) {
        m_state[1 + word] = uint8To32Little(key.data(), word * 4);
        m_state[11 + word] = uint8To32Little(key.data(), 16 + word * 4);
    }
    // "expand 32-byte k" as little-endian words.
    m_state[0] = 0x61707865;
    m_state[5] = 0x3320646E;
    m_state[10] = 0x79622D32;
    m_state[15] = 0x6B206574;
}

void Salsa20RandomStream::setIV(std::span<const uint8_t, 8> nonce) noexcept {
    m_state[6] = uint8To32Little(nonce.data(), 0);
    m_state[7] = uint8To32Little(nonce.data(), 4);
    m_state[8] = 0;
    m_state[9] = 0;
}

uint32_t Salsa20RandomStream::uint8To32Little(const uint8_t* bytes, std::size_t offset) noexcept {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

uint32_t Salsa20RandomStream::rotl(uint32_t word, uint32_t count) noexcept {
    count &= 31;
    return count == 0 ? word : (word << count) | (word >> (32 - count));
}

void Salsa20RandomStream::updateState() noexcept {
    std::array<uint32_t, 16> x = m_state;
    const auto quarter = [&x](int a, int b, int c, int d) {
        x[b] ^= rotl(x[a] + x[d], 7);
        x[c] ^= rotl(x[b] + x[a], 9);
        x[d] ^= rotl(x[c] + x[b], 13);
        x[a] ^= rotl(x[d] + x[c], 18);
    };
    for (int doubleRound = 0; doubleRound < 10; ++doubleRound) {
        // Column round.
        quarter(0, 4, 8, 12);
        quarter(5, 9, 13, 1);
        quarter(10, 14, 2, 6);
        quarter(15, 3, 7, 11);
        // Row round.
        quarter(0, 1, 2, 3);
        quarter(5, 6, 7, 4);
        quarter(10, 11, 8, 9);
        quarter(15, 12, 13, 14);
    }
    for (std::size_t word = 0; word < 16; ++word) {
        const uint32_t sum = x[word] + m_state[word];
        m_keyStream[word * 4] = static_cast<uint8_t>(sum);
        m_keyStream[word * 4 + 1] = static_cast<uint8_t>(sum >> 8);
        m_keyStream[word * 4 + 2] = static_cast<uint8_t>(sum >> 16);
        m_keyStream[word * 4 + 3] = static_cast<uint8_t>(sum >> 24);
    }
    secureWipe(x.data(), sizeof(x));
    if (++m_state[8] == 0) {
        ++m_state[9];
    }
}

void Salsa20RandomStream::applyKeyStream(uint8_t* bytes, std::size_t length) noexcept {
    for (std::size_t position = 0; position < length; ++position) {
        if (m_index == 0) {
            updateState();
        }
        bytes[position] ^= m_keyStream[m_index];
        m_index = (m_index + 1) % m_keyStream.size();
    }
}

} // namespace vaultora::kdb
