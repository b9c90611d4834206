#pragma once

#include "webserver/HttpResponse.h"

#include <QFile>
#include <QString>

namespace vaultora::webserver {

// Serves a file through an open handle as a download; the length is the file's size when it
// was opened.
class HttpFileResponse final : public HttpResponse {
public:
    explicit HttpFileResponse(const QString& filePath);

    // False when the path is not a regular file or could not be opened for reading.
    [[nodiscard]] bool isValid() const;
    [[nodiscard]] uint64_t contentLength() const override;
    [[nodiscard]] uint64_t offset() const override;
    void setOffset(uint64_t offset) override;
    [[nodiscard]] QByteArray readDataOfLength(uint64_t length) override;
    [[nodiscard]] QList<QPair<QByteArray, QByteArray>> httpHeaders() const override;

private:
    QFile m_file;
    uint64_t m_length = 0;
    uint64_t m_offset = 0;
};

} // namespace vaultora::webserver
