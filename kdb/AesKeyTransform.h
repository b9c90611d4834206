#pragma once

#include <cstdint>

namespace vaultora::kdb {

// The master-key transformation: a 32-byte value encrypted in place, rounds times, as two
// independent 16-byte AES-256-ECB blocks under one key. Two implementations give the same
// bytes: one on the processor's AES instructions, one on the cipher library, taken where
// the instructions are missing.
class AesKeyTransform {
public:
    AesKeyTransform() = delete;

    // Picks the fastest implementation this processor supports.
    static void transform(const uint8_t* key32, uint8_t* value32, uint64_t rounds);
    static void transformWithCipherLibrary(const uint8_t* key32, uint8_t* value32, uint64_t rounds);
    // True when transformWithAesInstructions may be called on this processor.
    [[nodiscard]] static bool aesInstructionsAvailable() noexcept;
    static void transformWithAesInstructions(const uint8_t* key32, uint8_t* value32,
                                             uint64_t rounds);
};

} // namespace vaultora::kdb
