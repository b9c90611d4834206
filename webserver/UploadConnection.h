#pragma once

#include "webserver/HttpConnection.h"

#include <QByteArray>
#include <QList>
#include <QTemporaryFile>
#include <memory>

namespace vaultora::webserver {

// The connection of the upload server: answers with a page that lists the documents
// directory (each file a download link) and carries an upload form, and stores a file
// uploaded through that form in the documents directory.
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
    void beginFile(const QByteArray& firstBytes);
    // Finishes the stored body; false when nothing was announced.
    void completeUpload();
    [[nodiscard]] bool trimTrailer(const QByteArray& separator);
    [[nodiscard]] bool commitUpload(const QString& fileName);

    // The lines of the part header: line 0 the boundary line, line 1 the Content-Disposition.
    QList<QByteArray> m_multipartData;
    // Header bytes not yet ended by CR LF; a header line may span two body chunks.
    QByteArray m_pendingHeaderBytes;
    bool m_postHeaderOK = false;
    // The header was unusable: the rest of the body is read and dropped.
    bool m_discardBody = false;
    bool m_writeFailed = false;
    // The body goes here first and replaces the file of the same name only once complete.
    std::unique_ptr<QTemporaryFile> m_uploadFile;
};

} // namespace vaultora::webserver
