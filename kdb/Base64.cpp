#include "Base64.h"

#include <array>

namespace vaultora::kdb {

namespace {

constexpr std::array<uint8_t, 256> makeDecodeTable() {
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::array<uint8_t, 256> table{};
    for (std::size_t index = 0; index < alphabet.size(); ++index) {
        table[static_cast<unsigned char>(alphabet[index])] = static_cast<uint8_t>(index);
    }
    return table;
}

constexpr std::array<uint8_t, 256> decodeTable = makeDecodeTable();

} // namespace

std::vector<uint8_t> Base64::decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return {};
    }
    for (const char character : text) {
        if (static_cast<unsigned char>(character) >= 0x80) {
            return {};
        }
    }
    // Padding only ever stands in for the last one or two characters of a group; counting
    // more would shorten the output below what the text holds.
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') {
        ++padding;
    }
    const std::size_t length = text.size() / 4 * 3 - padding;
    std::vector<uint8_t> bytes(length);
    std::size_t written = 0;
    for (std::size_t position = 0; position < text.size(); position += 4) {
        uint32_t group = 0;
        for (std::size_t offset = 0; offset < 4; ++offset) {
            group = (group << 6) | decodeTable[static_cast<unsigned char>(text[position + offset])];
        }
        for (int shift = 16; shift >= 0 && written < length; shift -= 8) {
            bytes[written++] = static_cast<uint8_t>(group >> shift);
        }
    }
    return bytes;
}

} // namespace vaultora::kdb
