#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <vector>

#include "AttributeCountGuard.h"
#include "BlockChannel.h"
#include "InputSource.h"
#include "SecureBytes.h"
#include "XmlEvents.h"

struct _xmlParserCtxt;

namespace vaultora::kdb {

// Runs the XML parser over a payload and writes its events into a channel, for a builder on
// another thread (see BlockChannel). The names in the events point into the XML parser's
// dictionary, which lives as long as this object: it must outlive the building.
class XmlEventProducer {
public:
    explicit XmlEventProducer(BlockChannel& channel);
    ~XmlEventProducer();
    XmlEventProducer(const XmlEventProducer&) = delete;
    XmlEventProducer& operator=(const XmlEventProducer&) = delete;

    // Reads the source to its end on the calling thread. Malformed XML throws
    // ("InvalidData", "XmlParseError"); failures of the source pass through unchanged; a
    // stopped channel ends the run quietly.
    void run(InputSource& source);

private:
    struct ContextDeleter {
        void operator()(_xmlParserCtxt* context) const noexcept;
    };

    // The payload is read in chunks of this size, and each chunk is guarded before the XML
    // parser sees it.
    static constexpr uint32_t kChunkSize = 102400;

    static int readInput(void* user, char* destination, int length) noexcept;
    static void onStartElement(void* user, const unsigned char* localName, const unsigned char*,
                               const unsigned char*, int, const unsigned char**, int attributeCount,
                               int, const unsigned char** attributes);
    static void onEndElement(void* user, const unsigned char*, const unsigned char*,
                             const unsigned char*);
    static void onCharacters(void* user, const unsigned char* characters, int length);
    static void onError(void* user, const char*, ...);
    static void onWarning(void*, const char*, ...);
    template <typename Step> static void guarded(void* user, Step step) noexcept;

    // An element the parser is inside. Its white space is held back until the element shows
    // text that is more than white space: most of it is the layout between child elements,
    // which the builder would drop (see isLayoutWhitespace), and sending it costs both threads.
    struct OpenElement {
        std::size_t heldFrom; // where its held white space starts in m_heldWhitespace
        bool hasChild;
        bool hasText;
    };
    void sendHeldWhitespace(XmlEventWriter& writer, const OpenElement& element);

    BlockChannel& m_channel;
    InputSource* m_source = nullptr;
    // The chunk being read; it is decrypted database text, wiped when it goes.
    SecureBytes m_chunk;
    uint32_t m_chunkOffset = 0;
    uint32_t m_chunkLength = 0;
    bool m_sourceEnded = false;
    AttributeCountGuard m_attributeGuard;
    std::vector<OpenElement> m_openElements;
    // The held white space of the open elements, innermost last; wiped as it goes.
    WipingBuffer m_heldWhitespace;
    std::unique_ptr<_xmlParserCtxt, ContextDeleter> m_context;
    std::exception_ptr m_failure;
    bool m_xmlError = false;
};

} // namespace vaultora::kdb
