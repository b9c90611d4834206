#include "net/GzipInflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace vaultora::net {
namespace {

struct InflateStream {
    z_stream stream{};
    bool initialised = false;

    InflateStream() {
        // 15 window bits plus 32: the gzip or zlib header is recognised by itself.
        initialised = inflateInit2(&stream, 15 + 32) == Z_OK;
    }
    ~InflateStream() {
        if (initialised)
            inflateEnd(&stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

} // namespace

std::optional<QByteArray> inflateGzip(const QByteArray& compressed) {
    InflateStream inflater;
    if (!inflater.initialised)
        return std::nullopt;
    z_stream& stream = inflater.stream;
    QByteArray inflated;
    inflated.resize(std::max<qsizetype>(compressed.size() * 4, 64 * 1024));
    qsizetype consumed = 0;
    qsizetype produced = 0;
    for (;;) {
        if (stream.avail_in == 0 && consumed < compressed.size()) {
            const qsizetype chunk = std::min<qsizetype>(compressed.size() - consumed, INT_MAX);
            stream.next_in =
                reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData() + consumed));
            stream.avail_in = static_cast<uInt>(chunk);
            consumed += chunk;
        }
        if (produced == inflated.size())
            inflated.resize(inflated.size() * 2);
        const qsizetype room = std::min<qsizetype>(inflated.size() - produced, INT_MAX);
        stream.next_out = reinterpret_cast<Bytef*>(inflated.data() + produced);
        stream.avail_out = static_cast<uInt>(room);
        const int status = inflate(&stream, Z_NO_FLUSH);
        produced += room - static_cast<qsizetype>(stream.avail_out);
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK && status != Z_BUF_ERROR)
            return std::nullopt;
        // Without progress and without more input the body was cut short.
        if (status == Z_BUF_ERROR && stream.avail_in == 0 && consumed == compressed.size())
            return std::nullopt;
    }
    inflated.truncate(produced);
    return inflated;
}

} // namespace vaultora::net
