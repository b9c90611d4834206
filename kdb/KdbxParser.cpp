#include "KdbxParser.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "DatabaseError.h"
#include "KdbxEntry.h"
#include "KdbxGroup.h"
#include "KdbxTree.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

constexpr uint32_t kChunkSize = 102400;

struct ParserContextDeleter {
    void operator()(xmlParserCtxt* context) const noexcept {
        // The XML parser builds a document of its own for some declarations even when only
        // event handlers are installed, and leaves freeing it to its caller.
        if (context->myDoc != nullptr) {
            xmlFreeDoc(context->myDoc);
        }
        xmlFreeParserCtxt(context);
    }
};
using ParserContext = std::unique_ptr<xmlParserCtxt, ParserContextDeleter>;

std::string_view textOf(const xmlChar* begin, const xmlChar* end) {
    return {reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin)};
}

// Without entity substitution the XML parser hands attribute values over with every
// ampersand (written as a reference in the document) spelled as the reference "&#38;", and
// with every other reference resolved; this turns those back into the ampersand.
std::string attributeValue(std::string_view reported) {
    constexpr std::string_view ampersand = "&#38;";
    std::string value;
    value.reserve(reported.size());
    std::size_t position = 0;
    for (std::size_t found; (found = reported.find(ampersand, position)) != reported.npos;) {
        value.append(reported.substr(position, found - position));
        value.push_back('&');
        position = found + ampersand.size();
    }
    value.append(reported.substr(position));
    return value;
}

// Watches the markup on its way to the XML parser and refuses an element with more attributes
// than any document of this format has: the XML parser compares each attribute of an element
// with all earlier ones, so a start tag with a million attributes would take hours.
class AttributeCountGuard {
public:
    // False once an element has too many attributes.
    [[nodiscard]] bool accept(const char* bytes, std::size_t length) noexcept {
        const char* position = bytes;
        const char* const end = bytes + length;
        while (position < end) {
            if (m_state == State::Outside) {
                position = static_cast<const char*>(std::memchr(position, '<', end - position));
                if (position == nullptr) {
                    return true;
                }
            } else if (m_state == State::StartTag) {
                // Names and white space in a start tag change nothing; pass over them quickly.
                while (position < end && !kStartTagMarks[static_cast<unsigned char>(*position)]) {
                    ++position;
                }
            } else if (m_state == State::Quoted) {
                while (position < end && *position != m_quote && *position != '<') {
                    ++position;
                }
            }
            if (position == end) {
                return true;
            }
            const char character = *position++;
            if (character == '<') {
                // A '<' never stands inside an attribute value, so it always opens markup.
                m_state = State::MarkupStart;
                m_equalSigns = 0;
                continue;
            }
            switch (m_state) {
            case State::MarkupStart:
                // Comments, declarations, processing instructions and end tags carry no
                // attributes.
                m_state = character == '!' || character == '?' || character == '/'
                              ? State::Outside
                              : State::StartTag;
                break;
            case State::StartTag:
                if (character == '"' || character == '\'') {
                    m_quote = character;
                    m_state = State::Quoted;
                } else if (character == '=') {
                    if (++m_equalSigns > kMaximumAttributes) {
                        return false;
                    }
                } else if (character == '>') {
                    m_state = State::Outside;
                }
                break;
            case State::Quoted:
                if (character == m_quote) {
                    m_state = State::StartTag;
                }
                break;
            case State::Outside:
                break;
            }
        }
        return true;
    }

private:
    enum class State : uint8_t { Outside, MarkupStart, StartTag, Quoted };
    static constexpr uint32_t kMaximumAttributes = 128;
    // The characters that mean something inside a start tag.
    static constexpr std::array<bool, 256> kStartTagMarks = [] {
        std::array<bool, 256> marks{};
        for (const unsigned char mark : {'<', '>', '=', '"', '\''}) {
            marks[mark] = true;
        }
        return marks;
    }();

    State m_state = State::Outside;
    char m_quote = 0;
    uint32_t m_equalSigns = 0;
};

void discardMessage(void*, const char*, ...) {}

// Some failures (a broken character encoding, for one) the XML parser reports on its generic
// error channel, which prints pieces of the document on the standard error stream; the parse
// fails through its handlers anyway, so the channel is muted for the thread while it runs.
class MutedGenericErrors {
public:
    MutedGenericErrors() noexcept : m_function(xmlGenericError), m_context(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, &discardMessage);
    }
    ~MutedGenericErrors() { xmlSetGenericErrorFunc(m_context, m_function); }
    MutedGenericErrors(const MutedGenericErrors&) = delete;
    MutedGenericErrors& operator=(const MutedGenericErrors&) = delete;

private:
    xmlGenericErrorFunc m_function;
    void* m_context;
};

void initialiseXmlLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

} // namespace

// One run of the XML parser over one payload. The callbacks come from C code, which no
// exception may cross: a failure stops the XML parser and is raised once the chunk call has
// returned.
class KdbxParseSession {
public:
    explicit KdbxParseSession(KdbxParser& parser) : m_parser(parser) {}

    void run(InputSource& source) {
        xmlSAXHandler handler{};
        handler.initialized = XML_SAX2_MAGIC;
        handler.startElementNs = &onStartElement;
        handler.endElementNs = &onEndElement;
        handler.characters = &onCharacters;
        handler.error = &onError;
        handler.fatalError = &onError;
        // Warnings are of no consequence; the handler only keeps the library from printing
        // them (with pieces of the document) on the standard error stream.
        handler.warning = &onWarning;

        initialiseXmlLibrary();
        const MutedGenericErrors muted;
        m_context.reset(xmlCreatePushParserCtxt(&handler, this, nullptr, 0, nullptr));
        if (!m_context) {
            throw std::bad_alloc();
        }
        // No network access and no entity substitution: no handler stores entity
        // declarations, so a reference to a declared entity is an undefined-entity error
        // instead of an expansion.
        xmlCtxtUseOptions(m_context.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);

        // The chunks are decrypted database text: the buffer is wiped when it goes.
        SecureBytes buffer(kChunkSize);
        auto* const chunk = reinterpret_cast<char*>(buffer.data());
        for (;;) {
            const uint32_t length = source.readBytes(chunk, kChunkSize);
            if (!m_attributeGuard.accept(chunk, length)) {
                throw DatabaseError("InvalidData", "XmlParseError");
            }
            feed(chunk, length, false);
            if (length == 0) {
                break;
            }
        }
        feed(nullptr, 0, true);
    }

private:
    void feed(const char* bytes, uint32_t length, bool last) {
        const int status =
            xmlParseChunk(m_context.get(), bytes, static_cast<int>(length), last ? 1 : 0);
        if (m_failure) {
            std::rethrow_exception(m_failure);
        }
        if (m_xmlError || status != 0) {
            throw DatabaseError("InvalidData", "XmlParseError");
        }
    }

    template <typename Step> static void guarded(void* user, Step step) noexcept {
        auto* session = static_cast<KdbxParseSession*>(user);
        if (session->m_failure || session->m_xmlError) {
            return;
        }
        try {
            step(*session);
        } catch (...) {
            session->m_failure = std::current_exception();
            xmlStopParser(session->m_context.get());
        }
    }

    static void onStartElement(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*,
                               int, const xmlChar**, int attributeCount, int,
                               const xmlChar** attributes) {
        guarded(user, [&](KdbxParseSession& session) {
            session.startElement(localName, attributeCount, attributes);
        });
    }

    static void onEndElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
        guarded(user, [](KdbxParseSession& session) { session.endElement(); });
    }

    static void onCharacters(void* user, const xmlChar* characters, int length) {
        guarded(user, [&](KdbxParseSession& session) {
            if (length > 0 && !session.m_parser.m_stack.isEmpty()) {
                session.openText().append(textOf(characters, characters + length));
            }
        });
    }

    // The text gathered so far for the innermost open element. An element's text is kept
    // here until it closes and then stored once, at its final length; the buffers are reused
    // from element to element.
    std::string& openText() { return m_openTexts[m_parser.m_stack._length() - 1]; }

    static void onError(void* user, const char*, ...) {
        auto* session = static_cast<KdbxParseSession*>(user);
        session->m_xmlError = true;
        xmlStopParser(session->m_context.get());
    }

    static void onWarning(void*, const char*, ...) {}

    ElementName nameOf(const xmlChar* localName) {
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

    void startElement(const xmlChar* localName, int attributeCount, const xmlChar** attributes) {
        const ElementName name = nameOf(localName);
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
        // Each attribute comes as five pointers: local name, prefix, namespace, value start
        // and value end.
        for (int index = 0; index < attributeCount; ++index) {
            const xmlChar* const* attribute = attributes + 5 * index;
            if (attribute[3] == nullptr || attribute[4] == nullptr) {
                continue;
            }
            node->addAttribute(reinterpret_cast<const char*>(attribute[0]),
                               attributeValue(textOf(attribute[3], attribute[4])));
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
        std::string& text = openText();
        XmlNode* const node = m_parser.m_stack.pop();
        // Text that is nothing but white space between child elements is only the layout of
        // the document, and no reader of the tree uses it.
        if (!text.empty() && (node->_children().empty() || !isLayoutWhitespace(text))) {
            node->set_text(text);
        }
        secureWipe(text.data(), text.size());
        text.clear();
        node->postProcess(m_parser.m_randomStream);
    }

    static bool isLayoutWhitespace(std::string_view text) noexcept {
        for (const char character : text) {
            if (character != ' ' && (character < '\t' || character > '\r')) {
                return false;
            }
        }
        return true;
    }

    KdbxParser& m_parser;
    ParserContext m_context;
    std::exception_ptr m_failure;
    bool m_xmlError = false;
    std::unordered_map<const xmlChar*, ElementName> m_names;
    struct NameSlot {
        const xmlChar* address = nullptr;
        ElementName name = ElementName::known(KnownName::Other);
    };
    // The addresses stay valid, and keep their text, for as long as the parser context
    // lives, which is as long as this session.
    std::array<NameSlot, 64> m_nameSlots{};
    AttributeCountGuard m_attributeGuard;
    // One per depth of the open elements; they hold decrypted text and are wiped as they go.
    std::vector<std::string> m_openTexts;

public:
    ~KdbxParseSession() {
        for (std::string& text : m_openTexts) {
            secureWipe(text.data(), text.capacity());
        }
    }
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
    try {
        KdbxParseSession session(*this);
        session.run(source);
    } catch (...) {
        m_stack.clear();
        m_tree.reset();
        throw;
    }
    m_stack.clear();
    return m_tree;
}

} // namespace vaultora::kdb
