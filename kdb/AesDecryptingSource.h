#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "InputSource.h"

namespace vaultora::kdb {

// Decrypts AES-256-CBC with PKCS#7 padding from the source it owns, in 512 KiB slices.
// Reads only forward; skipping forward reads and discards.
class AesDecryptingSource final : public InputSource {
public:
    static constexpr uint32_t kSliceSize = 524288;

    AesDecryptingSource(std::unique_ptr<InputSource> source, std::span<const uint8_t, 32> key,
                        std::span<const uint8_t, 16> initialisationVector);
    ~AesDecryptingSource() override;
    AesDecryptingSource(const AesDecryptingSource&) = delete;
    AesDecryptingSource& operator=(const AesDecryptingSource&) = delete;

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    // Not supported: throws ("UnsupportedMethod", "lengthOfRemainingReadbleBytes").
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    // Not supported: throws ("UnsupportedMethod", "setReadOffset").
    uint32_t setReadOffset(uint32_t offset) override;
    // Reads and discards distance bytes and returns 0; a negative distance throws
    // ("UnsupportedMethod", "moveReadOffset").
    uint32_t moveReadOffset(int32_t distance) override;

private:
    // Refills the plain-text slice; false once the decryptor has been finished and drained.
    bool decrypt();

    struct Cipher;
    std::unique_ptr<InputSource> m_source;
    std::unique_ptr<Cipher> m_cryptor;
    std::unique_ptr<uint8_t[]> m_inputBuffer;
    std::unique_ptr<uint8_t[]> m_outputBuffer;
    uint32_t m_bufferOffset = 0;
    uint32_t m_bufferSize = 0;
    bool m_eof = false;
};

} // namespace vaultora::kdb
