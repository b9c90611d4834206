// vaultora-parse-floor PAYLOAD-FILE: the floor under an open of a version-2 database. It
// inflates a gzip payload (as vaultora-make-database writes beside its database) and runs the
// XML library's push parser over it with empty handlers, in chunks of the size the engine's
// parser uses, and prints the number of elements. Nothing is built; an open cannot be
// faster than this.
#include <libxml/parser.h>
#include <zlib.h>

#include <array>
#include <cstdio>
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
    uint64_t elements = 0;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = &onStartElement;
    handler.endElementNs = &onEndElement;
    handler.characters = &onCharacters;
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(
        xmlCreatePushParserCtxt(&handler, &elements, nullptr, 0, nullptr));
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);

    z_stream stream{};
    if (inflateInit2(&stream, 47) != Z_OK) {
        return 1;
    }
    std::vector<char> input(65536);
    std::vector<char> output(kChunkSize);
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            file.read(input.data(), static_cast<std::streamsize>(input.size()));
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = static_cast<uInt>(file.gcount());
            if (stream.avail_in == 0) {
                break;
            }
        }
        stream.next_out = reinterpret_cast<Bytef*>(output.data());
        stream.avail_out = static_cast<uInt>(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            std::cerr << "inflate failed\n";
            return 1;
        }
        const int produced = static_cast<int>(output.size() - stream.avail_out);
        if (produced > 0 && xmlParseChunk(context.get(), output.data(), produced, 0) != 0) {
            std::cerr << "XML error\n";
            return 1;
        }
    }
    inflateEnd(&stream);
    if (xmlParseChunk(context.get(), nullptr, 0, 1) != 0) {
        std::cerr << "XML error\n";
        return 1;
    }
    std::cout << "elements " << elements << '\n';
    return 0;
}
