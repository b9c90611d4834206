#pragma once

#include "webserver/FormUpload.h"
#include "webserver/HttpConnection.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace vaultora::webserver {

// The connection of the upload server: answers with a page that lists the documents
// directory (each file a download link) and carries an upload form, and stores a file
// uploaded through that form in the documents directory, saying on the answer page what
// became of it.
class UploadConnection : public HttpConnection {
    Q_OBJECT

public:
    using HttpConnection::HttpConnection;

    [[nodiscard]] virtual bool isBrowseable(const QString& path);
    [[nodiscard]] bool supportsMethod(const QString& method, const QString& path) override;
    // Only the files the listing shows can be downloaded.
    [[nodiscard]] std::optional<QString> filePathForURI(const QString& path) override;
    // Resets the upload state for a new body.
    [[nodiscard]] virtual bool supportsPOST(const QString& path, uint64_t size);
    [[nodiscard]] virtual QString createBrowseableIndex(const QString& path);
    void prepareForBodyWithSize(uint64_t size) override;
    void processDataChunk(const QByteArray& chunk) override;
    [[nodiscard]] std::unique_ptr<HttpResponse> httpResponseForMethod(const QString& method,
                                                                      const QString& path) override;

private:
    void resetUploadState();

    std::unique_ptr<FormUpload> m_upload;
    // What became of the last upload, said on the page that answers it.
    QString m_uploadMessage;
};

} // namespace vaultora::webserver
