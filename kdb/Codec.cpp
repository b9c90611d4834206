#include "Codec.h"

#include <array>

namespace vaultora::kdb {

namespace {

template <typename Number> Number readLittleEndian(InputSource& source) {
    std::array<uint8_t, sizeof(Number)> bytes{};
    static_cast<void>(source.readBytes(bytes.data(), sizeof(Number)));
    Number value = 0;
    for (std::size_t index = sizeof(Number); index-- > 0;) {
        value = static_cast<Number>((static_cast<uint64_t>(value) << 8) | bytes[index]);
    }
    return value;
}

// Decodes one UTF-8 sequence at bytes[position]; returns its length, or 0 when the bytes
// there are not a valid sequence.
std::size_t decodeUtf8(const uint8_t* bytes, std::size_t length, std::size_t position,
                       char32_t& codePoint) noexcept {
    const uint8_t lead = bytes[position];
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t size = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (length - position < size) {
        return 0;
    }
    for (std::size_t index = 1; index < size; ++index) {
        const uint8_t next = bytes[position + index];
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return size;
}

// Windows-1252 byte for a code point, or '?' when the code page has none.
uint8_t windows1252Byte(char32_t codePoint) noexcept {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<uint8_t>(codePoint);
    }
    switch (codePoint) {
    case 0x20AC:
        return 0x80;
    case 0x201A:
        return 0x82;
    case 0x0192:
        return 0x83;
    case 0x201E:
        return 0x84;
    case 0x2026:
        return 0x85;
    case 0x2020:
        return 0x86;
    case 0x2021:
        return 0x87;
    case 0x02C6:
        return 0x88;
    case 0x2030:
        return 0x89;
    case 0x0160:
        return 0x8A;
    case 0x2039:
        return 0x8B;
    case 0x0152:
        return 0x8C;
    case 0x017D:
        return 0x8E;
    case 0x2018:
        return 0x91;
    case 0x2019:
        return 0x92;
    case 0x201C:
        return 0x93;
    case 0x201D:
        return 0x94;
    case 0x2022:
        return 0x95;
    case 0x2013:
        return 0x96;
    case 0x2014:
        return 0x97;
    case 0x02DC:
        return 0x98;
    case 0x2122:
        return 0x99;
    case 0x0161:
        return 0x9A;
    case 0x203A:
        return 0x9B;
    case 0x0153:
        return 0x9C;
    case 0x017E:
        return 0x9E;
    case 0x0178:
        return 0x9F;
    // The five positions the code page leaves undefined carry their own control character.
    case 0x81:
        return 0x81;
    case 0x8D:
        return 0x8D;
    case 0x8F:
        return 0x8F;
    case 0x90:
        return 0x90;
    case 0x9D:
        return 0x9D;
    default:
        return '?';
    }
}

} // namespace

uint8_t Codec::readInt8LE(InputSource& source) {
    return readLittleEndian<uint8_t>(source);
}

uint16_t Codec::readInt16LE(InputSource& source) {
    return readLittleEndian<uint16_t>(source);
}

uint32_t Codec::readInt32LE(InputSource& source) {
    return readLittleEndian<uint32_t>(source);
}

uint64_t Codec::readInt64LE(InputSource& source) {
    return readLittleEndian<uint64_t>(source);
}

std::optional<uint64_t> Codec::readCompleteLE(InputSource& source, unsigned width) {
    std::array<uint8_t, 8> bytes{};
    if (width == 0 || width > bytes.size() || source.readBytes(bytes.data(), width) != width) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (unsigned index = width; index-- > 0;) {
        value = (value << 8) | bytes[index];
    }
    return value;
}

SecureBytes Codec::createByteBufferForString(std::string_view text, TextEncoding coding) {
    SecureBytes result;
    result.reserve(text.size());
    if (coding == TextEncoding::UTF8) {
        result.assign(text.begin(), text.end());
        return result;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::size_t position = 0;
    while (position < text.size()) {
        char32_t codePoint = 0;
        const std::size_t size = decodeUtf8(bytes, text.size(), position, codePoint);
        if (size == 0) {
            result.push_back('?');
            ++position;
            continue;
        }
        result.push_back(windows1252Byte(codePoint));
        position += size;
    }
    return result;
}

bool Codec::emptyString(const std::string* text) noexcept {
    return text == nullptr || text->empty();
}

bool Codec::isValidUtf8(const uint8_t* bytes, std::size_t length) noexcept {
    std::size_t position = 0;
    while (position < length) {
        if (bytes[position] < 0x80) {
            ++position;
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t size = decodeUtf8(bytes, length, position, codePoint);
        if (size == 0) {
            return false;
        }
        position += size;
    }
    return true;
}

} // namespace vaultora::kdb
