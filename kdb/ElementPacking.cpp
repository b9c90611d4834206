#include "ElementPacking.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "NodeArena.h"

namespace vaultora::kdb {

namespace {

// The number written for a child that stays a node; an element writes its name's number
// plus one.
constexpr uint64_t kNodeMark = 0;

void writeNumber(SecureBytes& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<unsigned char>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<unsigned char>(value));
}

void writeText(SecureBytes& out, std::string_view text) {
    writeNumber(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    [[nodiscard]] bool atEnd() const noexcept { return m_position == m_bytes.size(); }

    uint64_t number() {
        uint64_t value = 0;
        for (unsigned shift = 0; shift < 64; shift += 7) {
            if (atEnd()) {
                break;
            }
            const auto byte = static_cast<unsigned char>(m_bytes[m_position++]);
            value |= static_cast<uint64_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        throw std::invalid_argument("packed elements: broken number");
    }

    std::string_view text() {
        const uint64_t length = number();
        if (length > m_bytes.size() - m_position) {
            throw std::invalid_argument("packed elements: text beyond the end");
        }
        const std::string_view text = m_bytes.substr(m_position, length);
        m_position += length;
        return text;
    }

private:
    std::string_view m_bytes;
    std::size_t m_position = 0;
};

} // namespace

bool ElementPacker::pack(const XmlNode& element, const NameTable& names) {
    const std::size_t start = m_bytes.size();
    m_pending.assign(1, &element);
    while (!m_pending.empty()) {
        const XmlNode* const node = m_pending.back();
        m_pending.pop_back();
        auto* const mutableNode = const_cast<XmlNode*>(node);
        if (mutableNode->asGroup() != nullptr || mutableNode->asEntry() != nullptr ||
            !names.holds(node->_name())) {
            secureWipe(m_bytes.data() + start, m_bytes.size() - start);
            m_bytes.resize(start);
            m_pending.clear();
            return false;
        }
        writeNumber(m_bytes, uint64_t{node->_name().record().index} + 1);
        writeText(m_bytes, node->_text());
        const std::span<const Attribute> attributes = node->_attributes();
        writeNumber(m_bytes, attributes.size());
        for (const Attribute& attribute : attributes) {
            writeText(m_bytes, attribute.name);
            writeText(m_bytes, attribute.value);
        }
        // Children are written in document order after their parent: pushed last first.
        const std::size_t firstChild = m_pending.size();
        for (XmlNode* child : node->_children()) {
            m_pending.push_back(child);
        }
        writeNumber(m_bytes, m_pending.size() - firstChild);
        std::reverse(m_pending.begin() + static_cast<std::ptrdiff_t>(firstChild),
                     m_pending.end());
    }
    return true;
}

void ElementPacker::packNodeMark() {
    writeNumber(m_bytes, kNodeMark);
}

void ElementPacker::clear() noexcept {
    secureWipe(m_bytes.data(), m_bytes.size());
    m_bytes.clear();
}

void unpackElements(std::string_view bytes, NodeArena& arena,
                    std::vector<std::unique_ptr<XmlNode>>& children) {
    Reader reader(bytes);
    // The elements still open, each with the number of children it has yet to read.
    struct Open {
        XmlNode* node;
        uint64_t childrenLeft;
    };
    std::vector<Open> open;
    for (;;) {
        while (!open.empty() && open.back().childrenLeft == 0) {
            open.pop_back();
        }
        if (open.empty() && reader.atEnd()) {
            break;
        }
        const uint64_t nameNumber = reader.number();
        if (nameNumber == kNodeMark) {
            if (!open.empty()) {
                throw std::invalid_argument("packed elements: a mark inside an element");
            }
            children.emplace_back();
            continue;
        }
        ElementName name = ElementName::known(KnownName::Other);
        if (nameNumber - 1 > UINT32_MAX ||
            !arena.names().at(static_cast<uint32_t>(nameNumber - 1), name)) {
            throw std::invalid_argument("packed elements: unknown name");
        }
        std::unique_ptr<XmlNode> node = arena.create<XmlNode>(name);
        node->set_text(reader.text());
        for (uint64_t count = reader.number(); count > 0; --count) {
            const std::string_view attributeName = reader.text();
            node->addAttribute(attributeName, reader.text());
        }
        const uint64_t childCount = reader.number();
        XmlNode* const made = node.get();
        if (open.empty()) {
            children.push_back(std::move(node));
        } else {
            --open.back().childrenLeft;
            open.back().node->addChild(std::move(node));
        }
        if (childCount > 0) {
            open.push_back({made, childCount});
        }
    }
}

} // namespace vaultora::kdb
