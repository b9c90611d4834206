#include "webserver/HttpFileResponse.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vaultora::webserver {

HttpFileResponse::HttpFileResponse(const QString& filePath) {
    // Only a regular file is served, checked on the open handle itself: a symbolic link or a
    // device put in place after the path was checked is not followed.
    const int descriptor =
        ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        !m_file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return;
    }
    m_length = static_cast<uint64_t>(status.st_size);
}

bool HttpFileResponse::isValid() const {
    return m_file.isOpen();
}

uint64_t HttpFileResponse::contentLength() const {
    return m_length;
}

uint64_t HttpFileResponse::offset() const {
    return m_offset;
}

void HttpFileResponse::setOffset(uint64_t offset) {
    m_offset = std::min(offset, m_length);
    if (m_file.isOpen()) {
        m_file.seek(static_cast<qint64>(m_offset));
    }
}

QByteArray HttpFileResponse::readDataOfLength(uint64_t length) {
    if (!m_file.isOpen()) {
        return {};
    }
    // The length announced to the client is the size at opening; a file that grew since
    // must not make the body longer than announced.
    const uint64_t count = std::min(length, m_length - m_offset);
    QByteArray chunk = m_file.read(static_cast<qint64>(count));
    m_offset += static_cast<uint64_t>(chunk.size());
    return chunk;
}

QList<QPair<QByteArray, QByteArray>> HttpFileResponse::httpHeaders() const {
    // Anyone on the network may upload a file; a browser must save it, never render it as a
    // page of this server's origin (and must not guess another type from its bytes).
    return {{"Content-Type", "application/octet-stream"},
            {"X-Content-Type-Options", "nosniff"},
            {"Content-Disposition", "attachment"}};
}

} // namespace vaultora::webserver
