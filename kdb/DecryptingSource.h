#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "InputSource.h"
#include "PayloadCipher.h"

namespace vaultora::kdb {

// Decrypts the payload from the source it owns with the cipher it is given, in 512 KiB
// slices. Reads only forward; skipping forward reads and discards.
class DecryptingSource final : public InputSource {
public:
    static constexpr uint32_t kSliceSize = 524288;

    DecryptingSource(std::unique_ptr<InputSource> source, std::unique_ptr<PayloadCipher> cipher);
    // AES-256-CBC with PKCS#7 padding.
    DecryptingSource(std::unique_ptr<InputSource> source, std::span<const uint8_t, 32> key,
                     std::span<const uint8_t, 16> initialisationVector);
    ~DecryptingSource() override;
    DecryptingSource(const DecryptingSource&) = delete;
    DecryptingSource& operator=(const DecryptingSource&) = delete;

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

    std::unique_ptr<InputSource> m_source;
    std::unique_ptr<PayloadCipher> m_cryptor;
    std::unique_ptr<uint8_t[]> m_inputBuffer;
    std::unique_ptr<uint8_t[]> m_outputBuffer;
    uint32_t m_bufferOffset = 0;
    uint32_t m_bufferSize = 0;
    // How far into the output buffer plain text has ever been written.
    uint32_t m_outputWritten = 0;
    bool m_eof = false;
};

} // namespace vaultora::kdb
