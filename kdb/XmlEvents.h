#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "WipingBuffer.h"

namespace vaultora::kdb {

// How the events of the XML parser are written into the blocks of a BlockChannel. Both
// ends are this process, so names travel as the addresses the XML parser keeps them at (its
// dictionary lives until the parse ends) and numbers in machine order.
//
//   start:      'S', name address, attribute count (32 bits), then per attribute its name
//               address, value length (32 bits) and value bytes
//   characters: 'C', length (32 bits), bytes
//   end:        'E'
enum class XmlEventKind : char { Start = 'S', Characters = 'C', End = 'E' };

// White space between the elements of an indented document is only its layout; the text of
// an element with children is dropped when it is nothing but this.
[[nodiscard]] inline bool isLayoutWhitespace(std::string_view text) noexcept {
    for (const char character : text) {
        if (character != ' ' && (character < '\t' || character > '\r')) {
            return false;
        }
    }
    return true;
}

class XmlEventWriter {
public:
    explicit XmlEventWriter(WipingBuffer& block) : m_block(block) {}

    void start(const unsigned char* name, uint32_t attributeCount) {
        put(XmlEventKind::Start);
        put(name);
        put(attributeCount);
    }
    void attribute(const unsigned char* name, std::string_view value) {
        put(name);
        text(value);
    }
    void characters(std::string_view text) {
        put(XmlEventKind::Characters);
        this->text(text);
    }
    void end() { put(XmlEventKind::End); }

private:
    template <typename Value> void put(const Value& value) { m_block.appendValue(value); }
    void text(std::string_view text) {
        if (text.size() > UINT32_MAX) {
            throw std::length_error("text too long");
        }
        put(static_cast<uint32_t>(text.size()));
        m_block.append(text.data(), text.size());
    }

    WipingBuffer& m_block;
};

// Reads back what an XmlEventWriter wrote into one block.
class XmlEventReader {
public:
    explicit XmlEventReader(const WipingBuffer& block)
        : m_position(block.data()), m_end(block.data() + block.size()) {}

    [[nodiscard]] bool atEnd() const noexcept { return m_position == m_end; }
    [[nodiscard]] XmlEventKind kind() { return get<XmlEventKind>(); }
    [[nodiscard]] const unsigned char* name() { return get<const unsigned char*>(); }
    [[nodiscard]] uint32_t count() { return get<uint32_t>(); }
    [[nodiscard]] std::string_view text() {
        const auto length = get<uint32_t>();
        require(length);
        const std::string_view text(reinterpret_cast<const char*>(m_position), length);
        m_position += length;
        return text;
    }

private:
    template <typename Value> Value get() {
        require(sizeof(Value));
        Value value;
        std::memcpy(&value, m_position, sizeof(Value));
        m_position += sizeof(Value);
        return value;
    }
    void require(std::size_t length) const {
        if (length > static_cast<std::size_t>(m_end - m_position)) {
            throw std::logic_error("an XML event cut short");
        }
    }

    const unsigned char* m_position;
    const unsigned char* m_end;
};

} // namespace vaultora::kdb
