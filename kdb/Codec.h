#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// Text encodings by the numbers the stored databases' writers use for them.
enum class TextEncoding : uint32_t {
    UTF8 = 4,
    Windows1252 = 12,
};

class Codec {
public:
    Codec() = delete;

    // Little-endian unsigned readers. Bytes the source does not deliver read as zero.
    [[nodiscard]] static uint8_t readInt8LE(InputSource& source);
    [[nodiscard]] static uint16_t readInt16LE(InputSource& source);
    [[nodiscard]] static uint32_t readInt32LE(InputSource& source);
    [[nodiscard]] static uint64_t readInt64LE(InputSource& source);
    // A little-endian unsigned number of width bytes (1 to 8), or nothing when the source
    // ends inside it.
    [[nodiscard]] static std::optional<uint64_t> readCompleteLE(InputSource& source,
                                                                unsigned width);

    // The UTF-8 text encoded in the given encoding, without terminator. For Windows-1252,
    // characters the code page cannot represent, and bytes that are not valid UTF-8, become
    // '?', so that every password still gives a key.
    [[nodiscard]] static SecureBytes createByteBufferForString(std::string_view text,
                                                               TextEncoding coding);
    // True when the text is absent or empty.
    [[nodiscard]] static bool emptyString(const std::string* text) noexcept;
    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    [[nodiscard]] static bool isValidUtf8(const uint8_t* bytes, std::size_t length) noexcept;
};

} // namespace vaultora::kdb
