#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ByteBuffer.h"

namespace vaultora::kdb {

// A 16-byte identifier. Identifiers read from a version-1 file take the size the file
// states, so one may hold other than 16 bytes.
class UUID final : public ByteBuffer {
public:
    // A fresh random identifier.
    UUID();
    UUID(uint32_t size, InputSource& source);
    explicit UUID(const std::array<uint8_t, 16>& bytes);
    UUID(const uint8_t* bytes, uint32_t size);

    // Upper-case hexadecimal in the 8-4-4-4-12 grouping, bytes in stored order. An
    // identifier shorter than 16 bytes prints zeros for the bytes it does not have.
    [[nodiscard]] std::string description() const override;

    // The cipher identifier of AES-256 in the version-2 format; one shared instance.
    [[nodiscard]] static std::shared_ptr<const UUID> getAESUUID();
};

} // namespace vaultora::kdb
