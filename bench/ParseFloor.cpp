// vaultora-parse-floor PAYLOAD-FILE: the floor under an open of a version-2 database. It
// inflates a gzip payload (as vaultora-make-database writes beside its database) and runs the
// XML library's parser over it with empty handlers, pulling the text in chunks of the size the
// engine's parser reads, with the engine's parser options, and prints the number of elements.
// Nothing is built; an open cannot be faster than this.
#include <libxml/parser.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kChunkSize = 102400;

struct ParserContextDeleter {
    void operator()(xmlParserCtxt* context) const noexcept {
        if (context->myDoc != nullptr) {
            xmlFreeDoc(context->myDoc);
        }
        xmlFreeParserCtxt(context);
    }
};

void onStartElement(void* user, const xmlChar*, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int, int, const xmlChar**) {
    ++*static_cast<uint64_t*>(user);
}
void onEndElement(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void onCharacters(void*, const xmlChar*, int) {}

// Inflates the file a chunk at a time and hands the XML parser what it asks for.
class Payload {
public:
    explicit Payload(std::ifstream& file) : m_file(file) {}
    ~Payload() { inflateEnd(&m_stream); }
    Payload(const Payload&) = delete;
    Payload& operator=(const Payload&) = delete;

    bool start() { return inflateInit2(&m_stream, 47) == Z_OK; }
    [[nodiscard]] bool failed() const { return m_failed; }

    static int read(void* context, char* destination, int length) {
        auto& payload = *static_cast<Payload*>(context);
        if (payload.m_offset == payload.m_length && !payload.fill()) {
            return payload.m_failed ? -1 : 0;
        }
        const std::size_t count =
            std::min(static_cast<std::size_t>(length), payload.m_length - payload.m_offset);
        std::memcpy(destination, payload.m_output.data() + payload.m_offset, count);
        payload.m_offset += count;
        return static_cast<int>(count);
    }

private:
    // The next chunk of inflated text; false at the end or on a failure.
    bool fill() {
        m_offset = 0;
        m_length = 0;
        while (m_length == 0 && m_status != Z_STREAM_END) {
            if (m_stream.avail_in == 0) {
                m_file.read(m_input.data(), static_cast<std::streamsize>(m_input.size()));
                m_stream.next_in = reinterpret_cast<Bytef*>(m_input.data());
                m_stream.avail_in = static_cast<uInt>(m_file.gcount());
                if (m_stream.avail_in == 0) {
                    m_failed = true;
                    return false;
                }
            }
            m_stream.next_out = reinterpret_cast<Bytef*>(m_output.data());
            m_stream.avail_out = static_cast<uInt>(m_output.size());
            m_status = inflate(&m_stream, Z_NO_FLUSH);
            if (m_status != Z_OK && m_status != Z_STREAM_END) {
                m_failed = true;
                return false;
            }
            m_length = m_output.size() - m_stream.avail_out;
        }
        return m_length > 0;
    }

    std::ifstream& m_file;
    z_stream m_stream{};
    int m_status = Z_OK;
    bool m_failed = false;
    std::vector<char> m_input = std::vector<char>(65536);
    std::vector<char> m_output = std::vector<char>(kChunkSize);
    std::size_t m_offset = 0;
    std::size_t m_length = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vaultora-parse-floor PAYLOAD-FILE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "cannot read " << argv[1] << '\n';
        return 1;
    }
    Payload payload(file);
    if (!payload.start()) {
        return 1;
    }
    uint64_t elements = 0;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = &onStartElement;
    handler.endElementNs = &onEndElement;
    handler.characters = &onCharacters;
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlCreateIOParserCtxt(
        &handler, &elements, &Payload::read, nullptr, &payload, XML_CHAR_ENCODING_NONE));
    if (!context) {
        return 1;
    }
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);
    if (xmlParseDocument(context.get()) != 0 || context->wellFormed == 0 || payload.failed()) {
        std::cerr << "XML error\n";
        return 1;
    }
    std::cout << "elements " << elements << '\n';
    return 0;
}
