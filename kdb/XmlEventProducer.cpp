#include "XmlEventProducer.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "AttributeCountGuard.h"
#include "DatabaseError.h"
#include "SecureBytes.h"
#include "XmlEvents.h"

namespace vaultora::kdb {

namespace {

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
    std::call_once(once, [] {
        xmlInitParser();
        // The XML parser refuses documents nested deeper than 256 elements unless told
        // otherwise; files nest groups as deep as their writers like, and nothing here
        // recurses per level. The other limits (10 MB attribute values and names) stay.
        xmlParserMaxDepth = UINT_MAX;
    });
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

XmlEventProducer::XmlEventProducer(BlockChannel& channel)
    : m_channel(channel), m_chunk(kChunkSize) {}

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
    m_source = &source;
    // The XML parser pulls the document through readInput: parsing as it reads costs less
    // than pushing chunks into it, which looks ahead for the end of each tag and text.
    m_context.reset(
        xmlCreateIOParserCtxt(&handler, this, &readInput, nullptr, this, XML_CHAR_ENCODING_NONE));
    if (!m_context) {
        throw std::bad_alloc();
    }
    // No network access and no entity substitution: no handler stores entity declarations,
    // so a reference to a declared entity is an undefined-entity error instead of an
    // expansion.
    xmlCtxtUseOptions(m_context.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);
    xmlParseDocument(m_context.get());
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    if (m_channel.stopped()) {
        return;
    }
    // A well-formed document is read to the end of the payload, where nothing may follow it.
    if (m_xmlError || m_context->wellFormed == 0 || !m_sourceEnded) {
        throw DatabaseError("InvalidData", "XmlParseError");
    }
}

int XmlEventProducer::readInput(void* user, char* destination, int length) noexcept {
    auto& producer = *static_cast<XmlEventProducer*>(user);
    try {
        if (producer.m_chunkOffset == producer.m_chunkLength) {
            if (producer.m_sourceEnded || producer.m_channel.stopped()) {
                return 0;
            }
            producer.m_chunkOffset = 0;
            producer.m_chunkLength =
                producer.m_source->readBytes(producer.m_chunk.data(), kChunkSize);
            const auto* chunk = reinterpret_cast<const char*>(producer.m_chunk.data());
            if (!producer.m_attributeGuard.accept(chunk, producer.m_chunkLength)) {
                throw DatabaseError("InvalidData", "XmlParseError");
            }
            if (producer.m_chunkLength == 0) {
                producer.m_sourceEnded = true;
                return 0;
            }
        }
        const uint32_t count = std::min(static_cast<uint32_t>(std::max(length, 0)),
                                        producer.m_chunkLength - producer.m_chunkOffset);
        std::memcpy(destination, producer.m_chunk.data() + producer.m_chunkOffset, count);
        producer.m_chunkOffset += count;
        return static_cast<int>(count);
    } catch (...) {
        // The XML parser parses what it holds and then meets the end; the failure is raised
        // before anything it reports. Stopping it here would free the buffer it reads into.
        producer.m_failure = std::current_exception();
        return -1;
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
                                      const xmlChar*, int, const xmlChar**, int attributeCount, int,
                                      const xmlChar** attributes) {
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
        writer.characters(
            {reinterpret_cast<const char*>(m_heldWhitespace.data()) + element.heldFrom, held});
    }
}

void XmlEventProducer::onError(void* user, const char*, ...) {
    auto* producer = static_cast<XmlEventProducer*>(user);
    producer->m_xmlError = true;
    xmlStopParser(producer->m_context.get());
}

void XmlEventProducer::onWarning(void*, const char*, ...) {}

} // namespace vaultora::kdb
