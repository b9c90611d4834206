#include "net/GzipInflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace vaultora::net {

struct GzipInflater::Stream {
    z_stream stream{};
    bool initialised = false;
    Stream() {
        // 15 window bits plus 32: the gzip or zlib header is recognised by itself.
        initialised = inflateInit2(&stream, 15 + 32) == Z_OK;
    }
    ~Stream() {
        if (initialised)
            inflateEnd(&stream);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
};

GzipInflater::GzipInflater(Output output, qint64 maximumLength)
    : m_stream(std::make_unique<Stream>()), m_output(std::move(output)),
      m_maximumLength(maximumLength) {
    if (!m_stream->initialised)
        m_status = Status::Damaged;
}

GzipInflater::~GzipInflater() = default;

GzipInflater::Status GzipInflater::feed(const char* data, qsizetype length) {
    if (m_status != Status::Inflating)
        return m_status;
    z_stream& stream = m_stream->stream;
    char buffer[64 * 1024];
    qsizetype consumed = 0;
    while (m_status == Status::Inflating) {
        if (stream.avail_in == 0) {
            if (consumed == length)
                break;
            const qsizetype chunk = std::min<qsizetype>(length - consumed, INT_MAX);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data + consumed));
            stream.avail_in = static_cast<uInt>(chunk);
            consumed += chunk;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = static_cast<qsizetype>(sizeof buffer - stream.avail_out);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            m_status = Status::Damaged;
            break;
        }
        m_produced += produced;
        if (m_maximumLength > 0 && m_produced > m_maximumLength) {
            m_status = Status::TooLarge;
            break;
        }
        if (produced > 0 && !m_output(buffer, produced)) {
            m_status = Status::Damaged;
            break;
        }
        if (status == Z_STREAM_END) {
            m_status = Status::Finished;
        } else if (status == Z_BUF_ERROR && produced == 0 && stream.avail_in == 0 &&
                   consumed == length) {
            break;
        }
    }
    stream.avail_in = 0;
    return m_status;
}

GzipInflater::Status GzipInflater::finish() {
    // A stream that has not reached its end by the last byte was cut short.
    if (m_status == Status::Inflating)
        m_status = Status::Damaged;
    return m_status;
}

std::optional<QByteArray> inflateGzip(const QByteArray& compressed, qint64 maximumLength) {
    QByteArray inflated;
    GzipInflater inflater(
        [&inflated](const char* data, qsizetype length) {
            inflated.append(data, length);
            return true;
        },
        maximumLength);
    inflater.feed(compressed.constData(), compressed.size());
    if (inflater.finish() != GzipInflater::Status::Finished)
        return std::nullopt;
    return inflated;
}

} // namespace vaultora::net
