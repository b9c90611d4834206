#include "XmlFakeRandomStream.h"

namespace vaultora::kdb::testing {

namespace {

uint8_t keyStreamByte(std::size_t position) {
    return static_cast<uint8_t>(position * 37 + 11);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const std::string& text) {
    std::size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<unsigned char>(text[index]);
        std::size_t extra = 0;
        uint32_t codePoint = 0;
        if (lead < 0x80) {
            ++index;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (index + extra >= text.size()) {
            return false;
        }
        for (std::size_t offset = 1; offset <= extra; ++offset) {
            const auto next = static_cast<unsigned char>(text[index + offset]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if ((extra == 2 && (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF))) ||
            (extra == 3 && (codePoint < 0x10000 || codePoint > 0x10FFFF))) {
            return false;
        }
        index += extra + 1;
    }
    return true;
}

std::string base64(const std::string& bytes) {
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t index = 0; index < bytes.size(); index += 3) {
        uint32_t group = static_cast<uint8_t>(bytes[index]) << 16;
        if (index + 1 < bytes.size()) {
            group |= static_cast<uint8_t>(bytes[index + 1]) << 8;
        }
        if (index + 2 < bytes.size()) {
            group |= static_cast<uint8_t>(bytes[index + 2]);
        }
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += index + 1 < bytes.size() ? alphabet[(group >> 6) & 0x3F] : '=';
        text += index + 2 < bytes.size() ? alphabet[group & 0x3F] : '=';
    }
    return text;
}

} // namespace

std::string XmlFakeRandomStream::xorBytes(const uint8_t* bytes, std::size_t length) {
    std::string plain(length, '\0');
    for (std::size_t index = 0; index < length; ++index) {
        plain[index] = static_cast<char>(bytes[index] ^ keyStreamByte(m_position + index));
    }
    m_position += length;
    m_consumed.push_back(length);
    return isValidUtf8(plain) ? plain : std::string();
}

std::string XmlFakeRandomStream::mask(std::string_view plain, std::size_t offset) {
    std::string masked(plain);
    for (std::size_t index = 0; index < masked.size(); ++index) {
        masked[index] =
            static_cast<char>(static_cast<uint8_t>(masked[index]) ^ keyStreamByte(offset + index));
    }
    return base64(masked);
}

} // namespace vaultora::kdb::testing
