#include "XmlEventProducer.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "DatabaseError.h"
#include "SecureBytes.h"
#include "XmlEvents.h"

namespace vaultora::kdb {

namespace {

constexpr uint32_t kChunkSize = 102400;

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

void XmlEventProducer::ContextDeleter::operator()(_xmlParserCtxt* context) const noexcept {
    // The XML parser builds a document of its own for some declarations even when only
    // event handlers are installed, and leaves freeing it to its caller.
    if (context->myDoc != nullptr) {
        xmlFreeDoc(context->myDoc);
    }
    xmlFreeParserCtxt(context);
}

XmlEventProducer::XmlEventProducer(BlockChannel& channel) : m_channel(channel) {}

XmlEventProducer::~XmlEventProducer() = default;

void XmlEventProducer::run(InputSource& source) {
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = &onStartElement;
    handler.endElementNs = &onEndElement;
    handler.characters = &onCharacters;
    handler.error = &onError;
    handler.fatalError = &onError;
    // Warnings are of no consequence; the handler only keeps the library from printing them
    // (with pieces of the document) on the standard error stream.
    handler.warning = &onWarning;

    initialiseXmlLibrary();
    const MutedGenericErrors muted;
    m_context.reset(xmlCreatePushParserCtxt(&handler, this, nullptr, 0, nullptr));
    if (!m_context) {
        throw std::bad_alloc();
    }
    // No network access and no entity substitution: no handler stores entity declarations,
    // so a reference to a declared entity is an undefined-entity error instead of an
    // expansion.
    xmlCtxtUseOptions(m_context.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);

    AttributeCountGuard attributeGuard;
    // The chunks are decrypted database text: the buffer is wiped when it goes.
    SecureBytes buffer(kChunkSize);
    auto* const chunk = reinterpret_cast<char*>(buffer.data());
    for (;;) {
        const uint32_t length = source.readBytes(chunk, kChunkSize);
        if (!attributeGuard.accept(chunk, length)) {
            throw DatabaseError("InvalidData", "XmlParseError");
        }
        feed(chunk, length, false);
        if (length == 0 || m_channel.stopped()) {
            break;
        }
    }
    if (!m_channel.stopped()) {
        feed(nullptr, 0, true);
    }
}

void XmlEventProducer::feed(const char* bytes, uint32_t length, bool last) {
    const int status =
        xmlParseChunk(m_context.get(), bytes, static_cast<int>(length), last ? 1 : 0);
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    if (m_channel.stopped()) {
        return;
    }
    if (m_xmlError || status != 0) {
        throw DatabaseError("InvalidData", "XmlParseError");
    }
}

// The callbacks come from C code, which no exception may cross: a failure stops the XML
// parser and is raised once the chunk call has returned.
template <typename Step> void XmlEventProducer::guarded(void* user, Step step) noexcept {
    auto* producer = static_cast<XmlEventProducer*>(user);
    if (producer->m_failure || producer->m_xmlError) {
        return;
    }
    try {
        step(*producer);
        if (!producer->m_channel.handOverWhenFull()) {
            xmlStopParser(producer->m_context.get());
        }
    } catch (...) {
        producer->m_failure = std::current_exception();
        xmlStopParser(producer->m_context.get());
    }
}

void XmlEventProducer::onStartElement(void* user, const xmlChar* localName, const xmlChar*,
                                      const xmlChar*, int, const xmlChar**, int attributeCount,
                                      int, const xmlChar** attributes) {
    guarded(user, [&](XmlEventProducer& producer) {
        if (!producer.m_openElements.empty()) {
            producer.m_openElements.back().hasChild = true;
        }
        producer.m_openElements.push_back({producer.m_heldWhitespace.size(), false, false});
        XmlEventWriter writer(producer.m_channel.block());
        // Each attribute comes as five pointers: local name, prefix, namespace, value start
        // and value end; one without a value is left out.
        uint32_t withValue = 0;
        for (int index = 0; index < attributeCount; ++index) {
            const xmlChar* const* attribute = attributes + 5 * index;
            withValue += attribute[3] != nullptr && attribute[4] != nullptr ? 1 : 0;
        }
        writer.start(localName, withValue);
        for (int index = 0; index < attributeCount; ++index) {
            const xmlChar* const* attribute = attributes + 5 * index;
            if (attribute[3] != nullptr && attribute[4] != nullptr) {
                writer.attribute(attribute[0],
                                 {reinterpret_cast<const char*>(attribute[3]),
                                  static_cast<std::size_t>(attribute[4] - attribute[3])});
            }
        }
    });
}

void XmlEventProducer::onEndElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*) {
    guarded(user, [](XmlEventProducer& producer) {
        XmlEventWriter writer(producer.m_channel.block());
        if (!producer.m_openElements.empty()) {
            const OpenElement element = producer.m_openElements.back();
            producer.m_openElements.pop_back();
            // White space alone is the text of an element without children; beside children it
            // is layout.
            if (!element.hasChild) {
                producer.sendHeldWhitespace(writer, element);
            }
            producer.m_heldWhitespace.truncate(element.heldFrom);
        }
        writer.end();
    });
}

void XmlEventProducer::onCharacters(void* user, const xmlChar* characters, int length) {
    guarded(user, [&](XmlEventProducer& producer) {
        // Outside the document element there is no element to give text to.
        if (length <= 0 || producer.m_openElements.empty()) {
            return;
        }
        const std::string_view text(reinterpret_cast<const char*>(characters),
                                    static_cast<std::size_t>(length));
        OpenElement& element = producer.m_openElements.back();
        XmlEventWriter writer(producer.m_channel.block());
        if (!element.hasText) {
            if (isLayoutWhitespace(text)) {
                producer.m_heldWhitespace.append(text.data(), text.size());
                return;
            }
            element.hasText = true;
            producer.sendHeldWhitespace(writer, element);
            producer.m_heldWhitespace.truncate(element.heldFrom);
        }
        writer.characters(text);
    });
}

void XmlEventProducer::sendHeldWhitespace(XmlEventWriter& writer, const OpenElement& element) {
    const std::size_t held = m_heldWhitespace.size() - element.heldFrom;
    if (held > 0) {
        writer.characters({reinterpret_cast<const char*>(m_heldWhitespace.data()) +
                               element.heldFrom,
                           held});
    }
}

void XmlEventProducer::onError(void* user, const char*, ...) {
    auto* producer = static_cast<XmlEventProducer*>(user);
    producer->m_xmlError = true;
    xmlStopParser(producer->m_context.get());
}

void XmlEventProducer::onWarning(void*, const char*, ...) {}

} // namespace vaultora::kdb
