#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace vaultora::kdb {

// A payload cipher in decryption direction, fed in pieces. Block ciphers in CBC mode hold
// back the last block until finish(), which strips and checks its PKCS#7 padding.
class PayloadCipher {
public:
    // Identifiers of the ciphers in 2.x headers.
    static const std::array<uint8_t, 16> kAes256Id;
    static const std::array<uint8_t, 16> kChaCha20Id;
    static const std::array<uint8_t, 16> kTwofishId;

    virtual ~PayloadCipher() = default;

    // Decrypts length bytes into output, which has room for length + 16 bytes; returns the
    // number of plain-text bytes written.
    [[nodiscard]] virtual uint32_t update(const uint8_t* input, uint32_t length,
                                          uint8_t* output) = 0;
    // Writes what was held back (at most 16 bytes). Bad padding, or cipher text that does
    // not end on a block boundary, throws ("DecryptError", "DecryptError").
    [[nodiscard]] virtual uint32_t finish(uint8_t* output) = 0;

    [[nodiscard]] static std::unique_ptr<PayloadCipher>
    createAes256Cbc(std::span<const uint8_t, 32> key, std::span<const uint8_t, 16> iv);
    // RFC 8439 ChaCha20 with the 12-byte nonce and the block counter starting at 0.
    [[nodiscard]] static std::unique_ptr<PayloadCipher>
    createChaCha20(std::span<const uint8_t, 32> key, std::span<const uint8_t, 12> nonce);
    [[nodiscard]] static std::unique_ptr<PayloadCipher>
    createTwofishCbc(std::span<const uint8_t, 32> key, std::span<const uint8_t, 16> iv);
};

} // namespace vaultora::kdb
