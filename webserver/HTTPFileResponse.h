#pragma once

#include "webserver/HTTPResponse.h"

#include <QFile>
#include <QString>

namespace web {

// Serves a file through an open handle; the length is the file's size when it was opened.
class HTTPFileResponse final : public HTTPResponse {
public:
    explicit HTTPFileResponse(const QString& filePath);

    // False when the file could not be opened for reading.
    [[nodiscard]] bool isValid() const;
    [[nodiscard]] uint64_t contentLength() const override;
    [[nodiscard]] uint64_t offset() const override;
    void setOffset(uint64_t offset) override;
    [[nodiscard]] QByteArray readDataOfLength(uint64_t length) override;

private:
    QFile m_file;
    uint64_t m_length = 0;
    uint64_t m_offset = 0;
};

} // namespace web
