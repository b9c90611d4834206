// One HTTP exchange with the service, run by net/'s background transfer so the main loop never
// waits for the network; every callback arrives on the thread that created the request. A file
// load writes the body to a temporary file beside the destination, which replaces the
// destination in one rename only when the whole body arrived with status 200.
#pragma once

#include "net/HttpBackgroundTransfer.h"
#include "net/NetworkError.h"
#include "net/OAuthSigner.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace vaultora::sync {

class DropboxRequest final : public QObject {
    Q_OBJECT

public:
    // The service's answers other than 200: the status is the code.
    static inline const QString ErrorDomain = QStringLiteral("DBErrorDomain");
    // The connection failed: the code is libcurl's.
    static inline const QString ConnectionErrorDomain = QStringLiteral("DBConnectionErrorDomain");
    // The destination file could not be written: the code is a QFileDevice::FileError.
    static inline const QString FileErrorDomain = QStringLiteral("DBFileErrorDomain");
    static inline const QString ErrorMessageKey = QStringLiteral("errorMessage");

    using Callback = std::function<void(DropboxRequest&)>;

    // certificateAuthorityFile empty: the system's trusted authorities.
    DropboxRequest(net::OAuthSignedRequest request, QString certificateAuthorityFile,
                   Callback completion, QObject* parent = nullptr);
    ~DropboxRequest() override;
    DropboxRequest(const DropboxRequest&) = delete;
    DropboxRequest& operator=(const DropboxRequest&) = delete;

    // Called instead of the completion callback when the request ends with an error.
    void setFailureCallback(Callback callback) { m_failure = std::move(callback); }
    // Called after each block of a file load.
    void setDownloadProgressCallback(Callback callback) { m_progress = std::move(callback); }
    [[nodiscard]] const QVariantMap& userInfo() const { return m_userInfo; }
    void setUserInfo(QVariantMap userInfo) { m_userInfo = std::move(userInfo); }
    // The file the body goes to; empty: the body is kept in resultData().
    [[nodiscard]] const QString& resultFilename() const { return m_resultFilename; }
    void setResultFilename(QString path) { m_resultFilename = std::move(path); }

    // Sends the request; it runs once.
    void start();
    // Stops the exchange; no callback follows and the destination stays as it was.
    void cancel();

    [[nodiscard]] const net::OAuthSignedRequest& request() const { return m_request; }
    [[nodiscard]] int statusCode() const { return m_statusCode; }
    // The header of the response, by case-insensitive name; null when absent.
    [[nodiscard]] QString responseHeader(const QString& name) const;
    [[nodiscard]] const QByteArray& resultData() const { return m_resultData; }
    [[nodiscard]] QString resultString() const { return QString::fromUtf8(m_resultData); }
    // The fraction of a file load received so far; stays 0 without a Content-Length.
    [[nodiscard]] double downloadProgress() const { return m_downloadProgress; }
    [[nodiscard]] const std::optional<net::NetworkError>& error() const { return m_error; }

private:
    void receiveProgress(qint64 received, qint64 expected);
    void finish(const net::BackgroundOutcome& outcome);

    net::OAuthSignedRequest m_request;
    QString m_certificateAuthorityFile;
    Callback m_completion;
    Callback m_failure;
    Callback m_progress;
    QVariantMap m_userInfo;
    QString m_resultFilename;

    net::HttpBackgroundTransfer m_transfer;
    bool m_started = false;
    bool m_cancelled = false;

    int m_statusCode = 0;
    QMap<QString, QString> m_responseHeaders;
    QByteArray m_resultData;
    double m_downloadProgress = 0.0;
    std::optional<net::NetworkError> m_error;
};

} // namespace vaultora::sync
