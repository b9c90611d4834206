#include "GzipInflatingSource.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "DatabaseError.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {
// 15 window bits plus 32: the largest window, with a gzip or zlib header recognised.
constexpr int kWindowBits = 15 + 32;
} // namespace

struct GzipInflatingSource::Stream {
    z_stream state{};
    bool open = false;

    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() { close(); }
    void close() noexcept {
        if (open) {
            inflateEnd(&state);
            open = false;
        }
    }
};

GzipInflatingSource::GzipInflatingSource(std::unique_ptr<InputSource> source)
    : m_zipped(std::move(source)), m_stream(std::make_unique<Stream>()),
      m_in(std::make_unique<uint8_t[]>(kInputSize)),
      m_out(std::make_unique<uint8_t[]>(kOutputSize)) {
    m_stream->state.zalloc = Z_NULL;
    m_stream->state.zfree = Z_NULL;
    m_stream->state.opaque = Z_NULL;
    m_stream->state.next_in = Z_NULL;
    m_stream->state.avail_in = 0;
    if (inflateInit2(&m_stream->state, kWindowBits) != Z_OK) {
        throw DatabaseError("AppError", "InflateInitFailure");
    }
    m_stream->open = true;
}

GzipInflatingSource::~GzipInflatingSource() {
    secureWipe(m_out.get(), kOutputSize);
}

bool GzipInflatingSource::readBlock() {
    if (m_eoz) {
        m_outSize = 0;
        return false;
    }
    z_stream& state = m_stream->state;
    state.next_out = m_out.get();
    state.avail_out = kOutputSize;
    while (state.avail_out > 0) {
        if (state.avail_in == 0) {
            const uint32_t delivered = m_zipped->readBytes(m_in.get(), kInputSize);
            if (delivered == 0) {
                throw DatabaseError("InvalidData", "UnzipError");
            }
            state.next_in = m_in.get();
            state.avail_in = delivered;
        }
        const int result = inflate(&state, Z_NO_FLUSH);
        if (result != Z_OK) {
            m_stream->close();
            if (result != Z_STREAM_END) {
                throw DatabaseError("InvalidData", "UnzipError");
            }
            m_eoz = true;
            break;
        }
    }
    m_outSize = kOutputSize - state.avail_out;
    return true;
}

uint32_t GzipInflatingSource::readBytes(void* destination, uint32_t length) {
    auto* target = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    while (delivered < length) {
        if (m_outOffset >= m_outSize) {
            m_outOffset = 0;
            if (!readBlock()) {
                return delivered;
            }
        }
        const uint32_t count = std::min(length - delivered, m_outSize - m_outOffset);
        if (count > 0) {
            std::memcpy(target + delivered, m_out.get() + m_outOffset, count);
        }
        m_outOffset += count;
        delivered += count;
    }
    return delivered;
}

uint32_t GzipInflatingSource::lengthOfRemainingReadbleBytes() {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t GzipInflatingSource::setReadOffset(uint32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t GzipInflatingSource::moveReadOffset(int32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

} // namespace vaultora::kdb
