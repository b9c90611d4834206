#include "JsonWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "kdb/SecureBytes.h"

namespace vaultora::cli {

namespace {

// Length of the UTF-8 sequence starting at position, or 0 when it is not well-formed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t position) {
    const auto byte = [&](std::size_t index) {
        return static_cast<uint8_t>(text[position + index]);
    };
    const uint8_t lead = byte(0);
    std::size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (position + length > text.size() || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t index = 2; index < length; ++index) {
        if (byte(index) < 0x80 || byte(index) > 0xBF) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::string quoteJson(std::string_view utf8) {
    std::string quoted;
    appendQuotedJson(quoted, utf8);
    return quoted;
}

void appendQuotedJson(std::string& quoted, std::string_view utf8) {
    static constexpr std::array<char, 16> hexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                       '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    quoted.reserve(quoted.size() + utf8.size() + 2);
    quoted.push_back('"');
    for (std::size_t position = 0; position < utf8.size();) {
        const auto byte = static_cast<uint8_t>(utf8[position]);
        if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(utf8, position);
            if (length == 0) {
                quoted += "\\ufffd";
                ++position;
            } else {
                quoted.append(utf8.substr(position, length));
                position += length;
            }
            continue;
        }
        switch (byte) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (byte < 0x20) {
                quoted += "\\u00";
                quoted.push_back(hexDigits[byte >> 4]);
                quoted.push_back(hexDigits[byte & 0x0F]);
            } else {
                quoted.push_back(static_cast<char>(byte));
            }
        }
        ++position;
    }
    quoted.push_back('"');
}

JsonWriter::~JsonWriter() {
    // The buffer has held every value written, passwords among them.
    kdb::secureWipe(m_quoted.data(), m_quoted.capacity());
}

void JsonWriter::writeQuoted(std::string_view text) {
    kdb::secureWipe(m_quoted.data(), m_quoted.size());
    m_quoted.clear();
    appendQuotedJson(m_quoted, text);
    m_out.write(m_quoted.data(), static_cast<std::streamsize>(m_quoted.size()));
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    writeQuoted(name);
    m_out << ": ";
    m_afterKey = true;
}

void JsonWriter::value(std::string_view text) {
    beforeValue();
    writeQuoted(text);
}

void JsonWriter::nullValue() {
    beforeValue();
    m_out << "null";
}

void JsonWriter::finish() {
    m_out << '\n';
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty()) {
        return;
    }
    if (m_levels.back().count++ > 0) {
        m_out << ',';
    }
    newLine();
}

void JsonWriter::open(char bracket) {
    beforeValue();
    m_out << bracket;
    m_levels.push_back({});
}

void JsonWriter::close(char bracket) {
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty) {
        newLine();
    }
    m_out << bracket;
}

void JsonWriter::newLine() {
    static constexpr std::string_view spaces = "                                                ";
    m_out << '\n';
    for (std::size_t indent = m_levels.size() * 2; indent > 0;) {
        const std::size_t step = std::min(indent, spaces.size());
        m_out.write(spaces.data(), static_cast<std::streamsize>(step));
        indent -= step;
    }
}

} // namespace vaultora::cli
