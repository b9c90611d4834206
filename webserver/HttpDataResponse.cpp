#include "webserver/HttpDataResponse.h"

#include <algorithm>
#include <utility>

namespace vaultora::webserver {

HttpDataResponse::HttpDataResponse(QByteArray data) : m_data(std::move(data)) {}

uint64_t HttpDataResponse::contentLength() const {
    return static_cast<uint64_t>(m_data.size());
}

uint64_t HttpDataResponse::offset() const {
    return m_offset;
}

void HttpDataResponse::setOffset(uint64_t offset) {
    m_offset = std::min(offset, contentLength());
}

QByteArray HttpDataResponse::readDataOfLength(uint64_t length) {
    const uint64_t count = std::min(length, contentLength() - m_offset);
    QByteArray chunk = m_data.mid(static_cast<qsizetype>(m_offset), static_cast<qsizetype>(count));
    m_offset += count;
    return chunk;
}

} // namespace vaultora::webserver
