#pragma once

#include <exception>
#include <memory>

#include "BlockChannel.h"
#include "InputSource.h"

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

    void feed(const char* bytes, uint32_t length, bool last);

    static void onStartElement(void* user, const unsigned char* localName, const unsigned char*,
                               const unsigned char*, int, const unsigned char**,
                               int attributeCount, int, const unsigned char** attributes);
    static void onEndElement(void* user, const unsigned char*, const unsigned char*,
                             const unsigned char*);
    static void onCharacters(void* user, const unsigned char* characters, int length);
    static void onError(void* user, const char*, ...);
    static void onWarning(void*, const char*, ...);
    template <typename Step> static void guarded(void* user, Step step) noexcept;

    BlockChannel& m_channel;
    std::unique_ptr<_xmlParserCtxt, ContextDeleter> m_context;
    std::exception_ptr m_failure;
    bool m_xmlError = false;
};

} // namespace vaultora::kdb
