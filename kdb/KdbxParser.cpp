#include "KdbxParser.h"

#include <array>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "BlockChannel.h"
#include "DatabaseError.h"
#include "KdbxEntry.h"
#include "KdbxGroup.h"
#include "KdbxTree.h"
#include "NodeArena.h"
#include "PageWarmer.h"
#include "SecureBytes.h"
#include "WipingBuffer.h"
#include "XmlEventProducer.h"
#include "XmlEvents.h"

namespace vaultora::kdb {

namespace {

// Without entity substitution the XML parser hands attribute values over with every
// ampersand (written as a reference in the document) spelled as the reference "&#38;", and
// with every other reference resolved; this turns those back into the ampersand, in the
// buffer given when there is one to turn.
std::string_view attributeValue(std::string_view reported, std::string& buffer) {
    constexpr std::string_view ampersand = "&#38;";
    std::size_t found = reported.find(ampersand);
    if (found == reported.npos) {
        return reported;
    }
    buffer.clear();
    std::size_t position = 0;
    for (; found != reported.npos; found = reported.find(ampersand, position)) {
        buffer.append(reported.substr(position, found - position));
        buffer.push_back('&');
        position = found + ampersand.size();
    }
    buffer.append(reported.substr(position));
    return buffer;
}

// Lends a warmer to an arena for as long as it lives.
class ArenaWarming {
public:
    ArenaWarming(NodeArena& arena, PageWarmer& warmer) noexcept : m_arena(arena) {
        m_arena.setPageWarmer(&warmer);
    }
    ~ArenaWarming() { m_arena.setPageWarmer(nullptr); }
    ArenaWarming(const ArenaWarming&) = delete;
    ArenaWarming& operator=(const ArenaWarming&) = delete;

private:
    NodeArena& m_arena;
};

} // namespace

// Builds the tree from the events of the XML parser as they come through the channel.
class KdbxParseSession {
public:
    explicit KdbxParseSession(KdbxParser& parser) : m_parser(parser) {}

    void build(BlockChannel& channel) {
        while (const WipingBuffer* block = channel.next()) {
            XmlEventReader events(*block);
            while (!events.atEnd()) {
                switch (events.kind()) {
                case XmlEventKind::Start:
                    startElement(events);
                    break;
                case XmlEventKind::Characters: {
                    const std::string_view text = events.text();
                    if (!m_parser.m_stack.isEmpty()) {
                        openText().append(text.data(), text.size());
                    }
                    break;
                }
                case XmlEventKind::End:
                    endElement();
                    break;
                default:
                    throw std::logic_error("an XML event of no known kind");
                }
            }
        }
        if (const std::exception_ptr failure = channel.failure()) {
            std::rethrow_exception(failure);
        }
    }

private:
    // The text gathered so far for the innermost open element. An element's text is kept
    // here until it closes and then stored once, at its final length; the buffers are reused
    // from element to element.
    WipingBuffer& openText() { return m_openTexts[m_parser.m_stack._length() - 1]; }

    ElementName nameOf(const unsigned char* localName) {
        // The XML parser hands out each distinct name from its dictionary at one address, so
        // the address finds the name. A small table indexed by the address answers nearly
        // every element at the cost of one comparison; the map behind it, with the text
        // comparison that keeps a reused address honest, answers the rest.
        NameSlot& slot =
            m_nameSlots[(reinterpret_cast<std::uintptr_t>(localName) >> 3) % m_nameSlots.size()];
        if (slot.address == localName) {
            return slot.name;
        }
        const auto* text = reinterpret_cast<const char*>(localName);
        const auto found = m_names.find(localName);
        if (found != m_names.end() && found->second.text() == text) {
            slot = {localName, found->second};
            return found->second;
        }
        const ElementName name = m_parser.m_tree->names().intern(text);
        m_names.insert_or_assign(localName, name);
        slot = {localName, name};
        return name;
    }

    void startElement(XmlEventReader& events) {
        const ElementName name = nameOf(events.name());
        KdbxTree& tree = *m_parser.m_tree;
        NodeArena& arena = tree.arena();
        std::unique_ptr<XmlNode> node;
        switch (name.id()) {
        case KnownName::Root:
        case KnownName::Group:
            node = arena.create<KdbxGroup>(name);
            break;
        case KnownName::Entry:
            node = arena.create<KdbxEntry>(name);
            break;
        default:
            node = arena.create<XmlNode>(name);
            break;
        }
        for (uint32_t count = events.count(); count > 0; --count) {
            const auto* const attributeName = reinterpret_cast<const char*>(events.name());
            node->addAttribute(attributeName, attributeValue(events.text(), m_attributeValue));
            secureWipe(m_attributeValue.data(), m_attributeValue.size());
        }

        XmlNode* const created = node.get();
        if (tree._root() == nullptr) {
            tree.set_root(std::move(node));
        } else if (XmlNode* top = m_parser.m_stack.peek()) {
            top->addChild(std::move(node));
        } else {
            // Only a second document element gets here, and the XML parser refuses that.
            return;
        }
        m_parser.m_stack.push(created);
        if (m_openTexts.size() < m_parser.m_stack._length()) {
            m_openTexts.emplace_back();
        }
        openText().clear();
    }

    void endElement() {
        if (m_parser.m_stack.isEmpty()) {
            return;
        }
        WipingBuffer& text = openText();
        XmlNode* const node = m_parser.m_stack.pop();
        // Text that is nothing but white space between child elements is only the layout of
        // the document, and no reader of the tree uses it.
        if (!text.empty() && (node->_children().empty() || !isLayoutWhitespace(text.text()))) {
            node->set_text(text.text());
        }
        text.clear();
        node->postProcess(m_parser.m_randomStream);
    }

    KdbxParser& m_parser;
    std::unordered_map<const unsigned char*, ElementName> m_names;
    struct NameSlot {
        const unsigned char* address = nullptr;
        ElementName name = ElementName::known(KnownName::Other);
    };
    // The addresses stay valid, and keep their text, for as long as the XML parser's
    // context lives, which is as long as the producer, which outlives this session.
    std::array<NameSlot, 64> m_nameSlots{};
    // One per depth of the open elements; they hold decrypted text and are wiped as they go.
    std::vector<WipingBuffer> m_openTexts;
    // An attribute value with ampersands turned back; wiped after each.
    std::string m_attributeValue;

public:
    ~KdbxParseSession() { secureWipe(m_attributeValue.data(), m_attributeValue.capacity()); }
};

KdbxParser::KdbxParser() = default;

KdbxParser::~KdbxParser() = default;

void KdbxParser::set_randomStream(RandomStream* stream) {
    m_randomStream = stream;
}

void KdbxParser::reset() {
    m_stack.clear();
    m_tree = std::make_shared<KdbxTree>();
}

std::shared_ptr<KdbxTree> KdbxParser::parse(InputSource& source) {
    reset();
    // The XML parser runs on a thread of its own, ahead of the building here by at most a
    // few blocks of events.
    BlockChannel channel;
    XmlEventProducer producer(channel);
    std::thread parsing([&channel, &producer, &source] {
        std::exception_ptr failure;
        try {
            producer.run(source);
        } catch (...) {
            failure = std::current_exception();
        }
        channel.finish(failure);
    });
    try {
        KdbxParseSession session(*this);
        // Faults the tree's pages in ahead of the building while a core is idle; stopped
        // before the tree can go.
        PageWarmer warmer;
        const ArenaWarming warming(m_tree->arena(), warmer);
        session.build(channel);
    } catch (...) {
        channel.stop();
        parsing.join();
        m_stack.clear();
        m_tree.reset();
        throw;
    }
    parsing.join();
    m_stack.clear();
    return m_tree;
}

} // namespace vaultora::kdb
