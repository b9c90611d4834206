#pragma once

#include <cstdint>
#include <memory>

#include "InputSource.h"

namespace vaultora::kdb {

// Inflates a gzip or zlib stream (header recognised automatically) from the source it owns.
// Bytes after the end of the compressed stream are never read.
class GzipInflatingSource final : public InputSource {
public:
    static constexpr uint32_t kInputSize = 16384;
    static constexpr uint32_t kOutputSize = 32768;

    explicit GzipInflatingSource(std::unique_ptr<InputSource> source);
    ~GzipInflatingSource() override;
    GzipInflatingSource(const GzipInflatingSource&) = delete;
    GzipInflatingSource& operator=(const GzipInflatingSource&) = delete;

    [[nodiscard]] uint32_t readBytes(void* destination, uint32_t length) override;
    // The three positioning operations throw ("UnsupportedMethod", "UnsupportedMethod").
    [[nodiscard]] uint32_t lengthOfRemainingReadbleBytes() override;
    uint32_t setReadOffset(uint32_t offset) override;
    uint32_t moveReadOffset(int32_t distance) override;

private:
    // Inflates the next block of output; false once the compressed stream has ended.
    bool readBlock();

    struct Stream;
    std::unique_ptr<InputSource> m_zipped;
    std::unique_ptr<Stream> m_stream;
    std::unique_ptr<uint8_t[]> m_in;
    std::unique_ptr<uint8_t[]> m_out;
    uint32_t m_outSize = 0;
    uint32_t m_outOffset = 0;
    bool m_eoz = false;
};

} // namespace vaultora::kdb
