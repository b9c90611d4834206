#include "JsonWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

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

// ASCII that stands for itself inside a JSON string.
bool isPlainJsonByte(uint8_t byte) noexcept {
    return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\';
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
        // Most text needs no escape: a run of it is copied at once.
        std::size_t plainEnd = position;
        while (plainEnd < utf8.size() && isPlainJsonByte(static_cast<uint8_t>(utf8[plainEnd]))) {
            ++plainEnd;
        }
        if (plainEnd > position) {
            quoted.append(utf8.substr(position, plainEnd - position));
            position = plainEnd;
            continue;
        }
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
    flush();
    // The buffer has held every value written, passwords among them.
    kdb::secureWipe(m_buffer.data(), m_buffer.capacity());
}

void JsonWriter::flush() {
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    kdb::secureWipe(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void JsonWriter::flushWhenFull() {
    // The buffer is written out in pieces: a whole export would hold every password at once.
    if (m_buffer.size() >= kFlushSize) {
        flush();
    }
}

void JsonWriter::writeQuoted(std::string_view text) {
    // An escaped byte takes at most six.
    const std::size_t needed = m_buffer.size() + 6 * text.size() + kSlack;
    if (m_buffer.capacity() < needed) {
        // Grown by hand, so that no copy of the texts is left behind unwiped.
        std::string grown;
        grown.reserve(needed);
        grown.append(m_buffer);
        kdb::secureWipe(m_buffer.data(), m_buffer.capacity());
        m_buffer.swap(grown);
    }
    appendQuotedJson(m_buffer, text);
    flushWhenFull();
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    writeQuoted(name);
    m_buffer.append(": ");
    m_afterKey = true;
}

void JsonWriter::value(std::string_view text) {
    beforeValue();
    writeQuoted(text);
}

void JsonWriter::nullValue() {
    beforeValue();
    m_buffer.append("null");
}

void JsonWriter::finish() {
    m_buffer.push_back('\n');
    flush();
    m_out.flush();
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
        m_buffer.push_back(',');
    }
    newLine();
}

void JsonWriter::open(char bracket) {
    beforeValue();
    m_buffer.push_back(bracket);
    m_levels.push_back({});
}

void JsonWriter::close(char bracket) {
    const bool empty = m_levels.back().count == 0;
    m_levels.pop_back();
    if (!empty) {
        newLine();
    }
    m_buffer.push_back(bracket);
}

void JsonWriter::newLine() {
    static constexpr std::string_view spaces = "                                                ";
    m_buffer.push_back('\n');
    std::size_t indent = m_levels.size() * 2;
    if (indent <= kSlack) {
        m_buffer.append(indent, ' ');
        flushWhenFull();
        return;
    }
    // Deep nesting: the indentation goes straight out rather than grow the buffer.
    flush();
    while (indent > 0) {
        const std::size_t step = std::min(indent, spaces.size());
        m_out.write(spaces.data(), static_cast<std::streamsize>(step));
        indent -= step;
    }
}

} // namespace vaultora::cli
