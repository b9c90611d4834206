// One HTTP request run to completion on the calling thread: redirects followed, credentials
// from the URL given when the server asks, cookies and accepted credentials kept for the
// process, connections kept open for reuse, gzip bodies inflated, and a failure reported as
// an error value of the domain "ASIHTTPRequestErrorDomain".
#pragma once

#include "kdb/SecureBytes.h"
#include "net/GzipInflate.h"
#include "net/HttpProgressDelegate.h"
#include "net/NetworkError.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QUrl>
#include <atomic>
#include <memory>
#include <optional>

namespace vaultora::net {

class HttpRequest final {
public:
    static inline const QString ErrorDomain = QStringLiteral("ASIHTTPRequestErrorDomain");

    enum ErrorType {
        ConnectionFailureErrorType = 1,
        RequestTimedOutErrorType = 2,
        AuthenticationErrorType = 3,
        RequestCancelledErrorType = 4,
        UnableToCreateRequestErrorType = 5,
        InternalErrorWhileBuildingRequestType = 6,
        InternalErrorWhileApplyingCredentialsType = 7,
        TooMuchRedirectionErrorType = 9,
    };

    static constexpr double defaultTimeOutSeconds = 10.0;
    static constexpr int maximumRedirects = 5;

    // A GET of the URL with the client's defaults.
    [[nodiscard]] static std::unique_ptr<HttpRequest> requestWithURL(const QUrl& url);

    explicit HttpRequest(QUrl url);
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;
    ~HttpRequest();

    [[nodiscard]] const QUrl& url() const { return m_url; }
    [[nodiscard]] const QString& requestMethod() const { return m_requestMethod; }
    void setRequestMethod(QString method) { m_requestMethod = std::move(method); }
    void setPostBody(QByteArray body) { m_postBody = std::move(body); }
    void addRequestHeader(const QString& name, const QString& value);

    // Seconds without any network activity after which the request fails.
    [[nodiscard]] double timeOutSeconds() const { return m_timeOutSeconds; }
    void setTimeOutSeconds(double seconds) { m_timeOutSeconds = seconds; }
    [[nodiscard]] bool shouldRedirect() const { return m_shouldRedirect; }
    void setShouldRedirect(bool value) { m_shouldRedirect = value; }
    [[nodiscard]] bool shouldAttemptPersistentConnection() const {
        return m_shouldAttemptPersistentConnection;
    }
    void setShouldAttemptPersistentConnection(bool value) {
        m_shouldAttemptPersistentConnection = value;
    }
    [[nodiscard]] bool useSessionPersistence() const { return m_useSessionPersistence; }
    void setUseSessionPersistence(bool value) { m_useSessionPersistence = value; }
    [[nodiscard]] bool validatesSecureCertificate() const { return m_validatesSecureCertificate; }
    void setValidatesSecureCertificate(bool value) { m_validatesSecureCertificate = value; }
    [[nodiscard]] bool allowCompressedResponse() const { return m_allowCompressedResponse; }
    void setAllowCompressedResponse(bool value) { m_allowCompressedResponse = value; }
    // The request's own credentials, used when neither the store nor the URL has any.
    void setUsername(QString user) { m_username = std::move(user); }
    void setPassword(kdb::SecureBytes password) { m_password = std::move(password); }
    // A body longer than this, sent or inflated, ends the request with a connection failure;
    // 0: no limit. Bodies kept in memory are limited to 16 MiB unless this says otherwise.
    void setMaximumResponseLength(qsizetype length) { m_maximumResponseLength = length; }
    // The body goes to the device, open for writing, instead of responseData(): a large file
    // never sits in memory. Not owned; it must outlive the request's run. Whoever reads the
    // device decides what to keep when the request fails.
    void setDownloadDestination(QIODevice* device) { m_downloadDestination = device; }
    // Not owned; it must outlive the request's run.
    void setDownloadProgressDelegate(HttpProgressDelegate* delegate) {
        m_downloadProgressDelegate = delegate;
    }

    // Runs the request and returns when it has finished or failed; it runs once.
    void startSynchronous();
    // Ends a running request with the cancelled error; safe from any thread.
    void cancel() { m_cancelled = true; }

    [[nodiscard]] bool isComplete() const { return m_complete; }
    [[nodiscard]] const std::optional<NetworkError>& error() const { return m_error; }
    // The body, inflated when the server sent it gzip-encoded; empty with a download
    // destination.
    [[nodiscard]] const QByteArray& responseData() const { return m_responseData; }
    // The body as text, in the charset the Content-Type names, else ISO Latin-1.
    [[nodiscard]] QString responseString() const;
    [[nodiscard]] int responseStatusCode() const { return m_responseStatusCode; }
    [[nodiscard]] const QString& responseStatusMessage() const { return m_responseStatusMessage; }
    [[nodiscard]] const QMap<QString, QString>& responseHeaders() const {
        return m_responseHeaders;
    }
    [[nodiscard]] quint64 contentLength() const { return m_contentLength; }
    [[nodiscard]] quint64 totalBytesRead() const { return m_totalBytesRead; }
    // The address that gave the final answer, after redirects.
    [[nodiscard]] const QUrl& finalURL() const { return m_finalURL; }
    [[nodiscard]] int redirectCount() const { return m_redirectCount; }

    // "%@ %@ (%@; %@ %@; %@)": application name and version, device model, system name and
    // version, locale.
    [[nodiscard]] static QString defaultUserAgentString();

private:
    class Exchange;
    friend class Exchange;

    void run();
    void fail(int code, const QString& description, const QString& underlying = {});
    void beginResponse(int httpVersion, int statusCode, const QString& statusLine);
    void endResponseHeaders();
    // False when the body would grow past the maximum length.
    [[nodiscard]] bool receiveBody(const char* data, std::size_t length);
    [[nodiscard]] bool isFollowedRedirect() const;
    [[nodiscard]] bool finishBody();
    // Keeps body bytes (inflated where they came compressed) in memory or on the device.
    [[nodiscard]] bool keepBody(const char* data, qsizetype length);

    QUrl m_url;
    QString m_requestMethod = QStringLiteral("GET");
    QByteArray m_postBody;
    QList<QPair<QString, QString>> m_requestHeaders;
    double m_timeOutSeconds = defaultTimeOutSeconds;
    bool m_shouldRedirect = true;
    bool m_shouldAttemptPersistentConnection = true;
    bool m_useSessionPersistence = true;
    bool m_validatesSecureCertificate = true;
    bool m_allowCompressedResponse = true;
    QString m_username;
    kdb::SecureBytes m_password;
    static constexpr qsizetype defaultMaximumResponseLength = qsizetype{16} << 20;
    qsizetype m_maximumResponseLength = defaultMaximumResponseLength;
    QIODevice* m_downloadDestination = nullptr;
    HttpProgressDelegate* m_downloadProgressDelegate = nullptr;

    bool m_started = false;
    bool m_complete = false;
    std::atomic<bool> m_cancelled = false;
    std::optional<NetworkError> m_error;
    QUrl m_finalURL;
    int m_redirectCount = 0;

    // The response being read; redirects and authentication challenges replace it.
    int m_responseHttpVersion = 11;
    int m_responseStatusCode = 0;
    QString m_responseStatusMessage;
    QMap<QString, QString> m_responseHeaders;
    bool m_deliversBody = false;
    bool m_showAccurateProgress = true;
    quint64 m_contentLength = 0;
    quint64 m_totalBytesRead = 0;
    QByteArray m_responseData;
    std::unique_ptr<GzipInflater> m_inflater;
};

} // namespace vaultora::net
