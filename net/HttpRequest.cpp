#include "net/HttpRequest.h"

#include "base/SecureText.h"
#include "net/CurlHandles.h"
#include "net/GzipInflate.h"
#include "net/HttpCredentialStore.h"
#include "net/HttpTransferEngine.h"
#include "net/PersistentConnectionList.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringDecoder>
#include <QSysInfo>
#include <algorithm>
#include <chrono>

namespace vaultora::net {
namespace {

using Clock = std::chrono::steady_clock;

// The body is read into memory; a response that announces its size gets the room at once so
// that the buffer never has to be copied while it grows. Larger announcements grow as usual.
constexpr quint64 LargestReservation = quint64{1} << 30;
constexpr long ReadBufferSize = 128 * 1024;
// How long the loop waits for network activity before it looks at time-out, cancellation
// and the thread's other events again.
constexpr int PollMilliseconds = 20;

const QString ConnectionFailureText = QStringLiteral("A connection failure occurred");

bool isUsableUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isSecureConnectionFailure(CURLcode code) {
    switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
        return true;
    default:
        return false;
    }
}

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307;
}

QString headerValue(const QMap<QString, QString>& headers, QLatin1String name) {
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

kdb::SecureBytes terminated(const kdb::SecureBytes& bytes) {
    kdb::SecureBytes copy(bytes);
    copy.push_back(0);
    return copy;
}

} // namespace

// One exchange with one address. libcurl may send it twice to answer an authentication
// challenge; the request sees every response through its callbacks.
class HttpRequest::Exchange final {
public:
    enum class Credentials { None, OnChallenge, AtOnce };

    struct Outcome {
        CURLcode result = CURLE_OK;
        bool timedOut = false;
        bool cancelled = false;
        QString errorText;
    };

    Exchange(HttpRequest& request, const QUrl& url) : m_request(request), m_url(url) {}
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // False when libcurl could not take the request.
    [[nodiscard]] bool prepare(const QString& method, const QByteArray& body,
                               const QList<QPair<QString, QString>>& headers,
                               const HttpCredentials* credentials, Credentials when);
    [[nodiscard]] Outcome run();

    // Whether the server's challenges in this exchange named Basic and nothing stronger.
    [[nodiscard]] bool offeredOnlyBasic() const { return m_offeredBasic && !m_offeredStronger; }

private:
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded);
    static int onSocket(void* self, curl_socket_t, curlsocktype);
    void headerLine(QByteArrayView line);
    void pumpEvents();

    HttpRequest& m_request;
    QUrl m_url;
    CurlEasy m_easy{curl_easy_init()};
    CurlHeaderList m_headers;
    QByteArray m_urlText;
    QByteArray m_body;
    QByteArray m_method;
    QByteArray m_user;
    kdb::SecureBytes m_password;
    char m_errorText[CURL_ERROR_SIZE] = {};
    Clock::time_point m_lastActivity = Clock::now();
    Clock::time_point m_lastEvents = Clock::now();
    curl_off_t m_uploaded = 0;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
    bool m_offeredBasic = false;
    bool m_offeredStronger = false;
};

bool HttpRequest::Exchange::prepare(const QString& method, const QByteArray& body,
                                    const QList<QPair<QString, QString>>& headers,
                                    const HttpCredentials* credentials, Credentials when) {
    CURL* easy = m_easy.get();
    if (!easy)
        return false;
    QUrl address = m_url;
    address.setUserInfo({});
    m_urlText = address.toString(QUrl::FullyEncoded).toUtf8();
    m_body = body;
    m_method = method.toUtf8();

    bool ok = curl_easy_setopt(easy, CURLOPT_URL, m_urlText.constData()) == CURLE_OK;
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_SHARE, HttpTransferEngine::share());
    // An empty cookie file switches the cookie engine on without reading any file.
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // The body is kept as sent so that progress counts the bytes the server announced; it is
    // inflated once it is complete.
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, ReadBufferSize);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Exchange::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Exchange::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Exchange::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, &Exchange::onSocket);
    curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, this);
    const bool verify = m_request.m_validatesSecureCertificate;
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, verify ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, verify ? 2L : 0L);

    if (method == QLatin1String("GET")) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (method == QLatin1String("HEAD")) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_body.constData());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()));
        if (method != QLatin1String("POST"))
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_method.constData());
    }

    bool hasUserAgent = false;
    bool hasAcceptEncoding = false;
    CurlHeaderList list;
    const auto append = [&](const QByteArray& line) {
        if (!appendHeaderLine(list, line.constData()))
            ok = false;
    };
    for (const auto& [name, value] : headers) {
        hasUserAgent |= name.compare(QLatin1String("User-Agent"), Qt::CaseInsensitive) == 0;
        hasAcceptEncoding |=
            name.compare(QLatin1String("Accept-Encoding"), Qt::CaseInsensitive) == 0;
        append(name.toUtf8() + ": " + value.toUtf8());
    }
    if (!hasUserAgent)
        append("User-Agent: " + HttpRequest::defaultUserAgentString().toUtf8());
    if (m_request.m_allowCompressedResponse && !hasAcceptEncoding)
        append("Accept-Encoding: gzip");
    // A body goes out at once rather than after a "100 Continue" that old servers never send.
    if (!m_body.isEmpty())
        append("Expect:");
    m_headers = std::move(list);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headers.get());

    if (credentials && when != Credentials::None) {
        m_user = credentials->user.toUtf8();
        m_password = terminated(credentials->password);
        const bool applied =
            curl_easy_setopt(easy, CURLOPT_USERNAME, m_user.constData()) == CURLE_OK &&
            curl_easy_setopt(easy, CURLOPT_PASSWORD,
                             reinterpret_cast<const char*>(m_password.data())) == CURLE_OK;
        // Several schemes make libcurl wait for the server's challenge and answer in the
        // scheme it asks for; Basic alone is sent with the first request.
        const unsigned long schemes = when == Credentials::AtOnce
                                          ? CURLAUTH_BASIC
                                          : (CURLAUTH_BASIC | CURLAUTH_DIGEST | CURLAUTH_NTLM);
        if (!applied || curl_easy_setopt(easy, CURLOPT_HTTPAUTH, schemes) != CURLE_OK)
            return false;
    }

    if (!m_request.m_shouldAttemptPersistentConnection) {
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    } else {
        const auto reuse = PersistentConnectionList::shared().reuseFor(m_url, Clock::now());
        if (reuse.allowed)
            curl_easy_setopt(easy, CURLOPT_MAXAGE_CONN,
                             static_cast<long>(reuse.maximumIdleTime.count()));
        else
            curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    }
    return ok;
}

HttpRequest::Exchange::Outcome HttpRequest::Exchange::run() {
    Outcome outcome;
    HttpTransferEngine& engine = HttpTransferEngine::forCurrentThread();
    if (engine.addTransfer(m_easy.get()) != CURLM_OK) {
        outcome.result = CURLE_FAILED_INIT;
        return outcome;
    }
    const auto timeOut = std::chrono::duration<double>(m_request.m_timeOutSeconds);
    m_lastActivity = Clock::now();
    for (;;) {
        engine.perform([](CURL* easy, CURLcode result) {
            // A request started from an event handled below may finish this one, and the
            // other way round, so the result goes to whichever exchange owns the handle.
            void* owner = nullptr;
            curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
            if (owner) {
                auto* exchange = static_cast<Exchange*>(owner);
                exchange->m_done = true;
                exchange->m_result = result;
            }
        });
        if (m_done)
            break;
        if (m_request.m_cancelled) {
            outcome.cancelled = true;
            break;
        }
        if (Clock::now() - m_lastActivity > timeOut) {
            outcome.timedOut = true;
            break;
        }
        engine.wait(PollMilliseconds);
        pumpEvents();
    }
    engine.removeTransfer(m_easy.get());
    outcome.result = m_result;
    outcome.errorText = QString::fromUtf8(m_errorText);
    if (outcome.errorText.isEmpty() && m_result != CURLE_OK)
        outcome.errorText = QString::fromUtf8(curl_easy_strerror(m_result));
    return outcome;
}

void HttpRequest::Exchange::pumpEvents() {
    // The thread's other work (drawing, timers) goes on while the transfer runs; the user's
    // input waits until it has ended.
    const auto now = Clock::now();
    if (!QCoreApplication::instance() || now - m_lastEvents < std::chrono::milliseconds(10))
        return;
    m_lastEvents = now;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::size_t HttpRequest::Exchange::onHeader(char* data, std::size_t size, std::size_t count,
                                            void* self) {
    auto* exchange = static_cast<Exchange*>(self);
    exchange->m_lastActivity = Clock::now();
    exchange->headerLine(QByteArrayView(data, static_cast<qsizetype>(size * count)));
    return size * count;
}

void HttpRequest::Exchange::headerLine(QByteArrayView raw) {
    const QByteArray line = raw.toByteArray().trimmed();
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.split(' ');
        const int version = parts[0] == "HTTP/1.0" ? 10 : 11;
        const int status = parts.size() > 1 ? parts[1].toInt() : 0;
        m_request.beginResponse(version, status, QString::fromLatin1(line));
        return;
    }
    if (line.isEmpty()) {
        m_request.endResponseHeaders();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QString name = QString::fromLatin1(line.left(colon)).trimmed();
    const QString value = QString::fromLatin1(line.mid(colon + 1)).trimmed();
    if (name.compare(QLatin1String("WWW-Authenticate"), Qt::CaseInsensitive) == 0) {
        const QString scheme = value.section(QLatin1Char(' '), 0, 0).toLower();
        if (scheme == QLatin1String("basic"))
            m_offeredBasic = true;
        else if (scheme == QLatin1String("digest") || scheme == QLatin1String("ntlm"))
            m_offeredStronger = true;
    }
    QMap<QString, QString>& headers = m_request.m_responseHeaders;
    const auto existing = headers.find(name);
    if (existing == headers.end())
        headers.insert(name, value);
    else
        existing.value() += QLatin1String(", ") + value;
}

std::size_t HttpRequest::Exchange::onBody(char* data, std::size_t size, std::size_t count,
                                          void* self) {
    auto* exchange = static_cast<Exchange*>(self);
    exchange->m_lastActivity = Clock::now();
    // Returning less than was given makes libcurl end the transfer.
    return exchange->m_request.receiveBody(data, size * count) ? size * count : 0;
}

int HttpRequest::Exchange::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t,
                                      curl_off_t uploaded) {
    auto* exchange = static_cast<Exchange*>(self);
    if (uploaded != exchange->m_uploaded) {
        exchange->m_uploaded = uploaded;
        exchange->m_lastActivity = Clock::now();
    }
    return 0;
}

int HttpRequest::Exchange::onSocket(void* self, curl_socket_t, curlsocktype) {
    static_cast<Exchange*>(self)->m_lastActivity = Clock::now();
    return CURL_SOCKOPT_OK;
}

std::unique_ptr<HttpRequest> HttpRequest::requestWithURL(const QUrl& url) {
    return std::make_unique<HttpRequest>(url);
}

HttpRequest::HttpRequest(QUrl url) : m_url(std::move(url)) {}

HttpRequest::~HttpRequest() = default;

void HttpRequest::addRequestHeader(const QString& name, const QString& value) {
    m_requestHeaders.append({name, value});
}

QString HttpRequest::defaultUserAgentString() {
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QStringLiteral("Vaultora");
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral("1.0");
    return QStringLiteral("%1 %2 (%3; %4 %5; %6)")
        .arg(name, version, QSysInfo::currentCpuArchitecture(), QSysInfo::productType(),
             QSysInfo::productVersion(), QLocale().name());
}

void HttpRequest::startSynchronous() {
    if (m_started)
        return;
    m_started = true;
    run();
    m_complete = true;
}

void HttpRequest::fail(int code, const QString& description, const QString& underlying) {
    NetworkError error{ErrorDomain, code, {}};
    error.userInfo.insert(NetworkError::LocalizedDescriptionKey, description);
    if (!underlying.isEmpty())
        error.userInfo.insert(NetworkError::UnderlyingErrorKey, underlying);
    m_error = std::move(error);
}

void HttpRequest::run() {
    QUrl address = m_url;
    if (!isUsableUrl(address)) {
        fail(UnableToCreateRequestErrorType, QStringLiteral("Unable to create request (bad url?)"));
        return;
    }
    QString method = m_requestMethod;
    QByteArray body = m_postBody;
    QList<QPair<QString, QString>> headers = m_requestHeaders;
    HttpCredentialStore& store = HttpCredentialStore::shared();

    for (;;) {
        if (m_cancelled) {
            fail(RequestCancelledErrorType, QStringLiteral("The request was cancelled"));
            return;
        }
        m_finalURL = address;

        // Credentials the server accepted earlier go out at once; those of the URL or of the
        // request only when the server asks for them.
        std::optional<HttpCredentials> credentials;
        auto when = Exchange::Credentials::None;
        if (m_useSessionPersistence) {
            credentials = store.credentialsFor(address);
            if (credentials)
                when = Exchange::Credentials::AtOnce;
        }
        if (!credentials && !address.userName().isEmpty()) {
            credentials = HttpCredentials{address.userName(), base::secureUtf8(address.password())};
            when = Exchange::Credentials::OnChallenge;
        }
        if (!credentials && !m_username.isEmpty()) {
            credentials = HttpCredentials{m_username, m_password};
            when = Exchange::Credentials::OnChallenge;
        }

        Exchange exchange(*this, address);
        if (!exchange.prepare(method, body, headers, credentials ? &*credentials : nullptr, when)) {
            fail(InternalErrorWhileBuildingRequestType,
                 QStringLiteral("Unable to start HTTP connection"));
            return;
        }
        const Exchange::Outcome outcome = exchange.run();
        if (outcome.cancelled) {
            fail(RequestCancelledErrorType, QStringLiteral("The request was cancelled"));
            return;
        }
        if (outcome.timedOut || outcome.result == CURLE_OPERATION_TIMEDOUT) {
            fail(RequestTimedOutErrorType, QStringLiteral("The request timed out"));
            return;
        }
        if (outcome.result != CURLE_OK) {
            if (outcome.result == CURLE_URL_MALFORMAT ||
                outcome.result == CURLE_UNSUPPORTED_PROTOCOL) {
                fail(UnableToCreateRequestErrorType,
                     QStringLiteral("Unable to create request (bad url?)"), outcome.errorText);
            } else if (outcome.result == CURLE_OUT_OF_MEMORY ||
                       outcome.result == CURLE_FAILED_INIT) {
                fail(InternalErrorWhileBuildingRequestType,
                     QStringLiteral("Unable to start HTTP connection"), outcome.errorText);
            } else if (isSecureConnectionFailure(outcome.result)) {
                fail(ConnectionFailureErrorType,
                     QStringLiteral("%1: SSL problem (Possible causes may include a "
                                    "bad/expired/self-signed certificate, clock set to wrong "
                                    "date)")
                         .arg(ConnectionFailureText),
                     outcome.errorText);
            } else {
                fail(ConnectionFailureErrorType, ConnectionFailureText, outcome.errorText);
            }
            return;
        }

        PersistentConnectionList::shared().recordResponse(
            address, m_responseHttpVersion,
            headerValue(m_responseHeaders, QLatin1String("Connection")),
            headerValue(m_responseHeaders, QLatin1String("Keep-Alive")), Clock::now());

        if (m_responseStatusCode == 401 || m_responseStatusCode == 407) {
            // Credentials that were refused are not offered again.
            if (when == Exchange::Credentials::AtOnce)
                store.remove(address);
            fail(AuthenticationErrorType, QStringLiteral("Authentication needed"));
            return;
        }

        if (isFollowedRedirect()) {
            if (m_redirectCount == maximumRedirects) {
                fail(TooMuchRedirectionErrorType,
                     QStringLiteral("The request failed because it redirected too many times"));
                return;
            }
            ++m_redirectCount;
            const QUrl location(headerValue(m_responseHeaders, QLatin1String("Location")));
            const bool wasSecure =
                address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
            address = address.resolved(location);
            if (!isUsableUrl(address)) {
                fail(UnableToCreateRequestErrorType,
                     QStringLiteral("Unable to create request (bad url?)"));
                return;
            }
            // What was asked for over TLS is never fetched in the clear.
            if (wasSecure &&
                address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0) {
                fail(UnableToCreateRequestErrorType,
                     QStringLiteral("The request was redirected from a secure address to an "
                                    "insecure one"));
                return;
            }
            if (m_responseStatusCode != 307) {
                method = QStringLiteral("GET");
                body.clear();
                headers.removeIf([](const QPair<QString, QString>& header) {
                    return header.first.compare(QLatin1String("User-Agent"), Qt::CaseInsensitive) !=
                               0 &&
                           header.first.compare(QLatin1String("Accept"), Qt::CaseInsensitive) != 0;
                });
            }
            continue;
        }

        if (when == Exchange::Credentials::OnChallenge && m_useSessionPersistence &&
            exchange.offeredOnlyBasic())
            store.store(address, *credentials);
        if (!finishBody())
            fail(ConnectionFailureErrorType, ConnectionFailureText,
                 QStringLiteral("The gzip-encoded body could not be inflated"));
        return;
    }
}

void HttpRequest::beginResponse(int httpVersion, int statusCode, const QString& statusLine) {
    m_responseHttpVersion = httpVersion;
    m_responseStatusCode = statusCode;
    m_responseStatusMessage = statusLine;
    m_responseHeaders.clear();
    m_deliversBody = false;
}

bool HttpRequest::isFollowedRedirect() const {
    return m_shouldRedirect && isRedirectStatus(m_responseStatusCode) &&
           !headerValue(m_responseHeaders, QLatin1String("Location")).isEmpty();
}

void HttpRequest::endResponseHeaders() {
    // Interim answers, redirects being followed and authentication challenges carry no body
    // that anyone reads, so they are not reported.
    if (m_responseStatusCode < 200 || isFollowedRedirect() || m_responseStatusCode == 401 ||
        m_responseStatusCode == 407)
        return;
    m_deliversBody = true;
    m_responseData.clear();
    m_totalBytesRead = 0;
    bool known = false;
    const quint64 length =
        headerValue(m_responseHeaders, QLatin1String("Content-Length")).toULongLong(&known);
    m_showAccurateProgress = known;
    m_contentLength = known ? length : 0;
    const QString encoding =
        headerValue(m_responseHeaders, QLatin1String("Content-Encoding")).trimmed().toLower();
    m_inflater.reset();
    if (encoding == QLatin1String("gzip") || encoding == QLatin1String("x-gzip")) {
        m_inflater = std::make_unique<GzipInflater>(
            [this](const char* data, qsizetype size) { return keepBody(data, size); },
            m_maximumResponseLength);
    } else if (known && m_downloadDestination == nullptr) {
        // The announced length is the server's word only: the reservation stays within what
        // may be kept anyway.
        const quint64 limit = m_maximumResponseLength > 0
                                  ? static_cast<quint64>(m_maximumResponseLength)
                                  : LargestReservation;
        m_responseData.reserve(
            static_cast<qsizetype>(std::min({length, limit, LargestReservation})));
    }
    if (m_downloadProgressDelegate)
        m_downloadProgressDelegate->requestIncrementDownloadSizeBy(
            *this, known ? static_cast<qint64>(length) : 1);
}

bool HttpRequest::receiveBody(const char* data, std::size_t length) {
    if (!m_deliversBody || length == 0)
        return true;
    if (m_maximumResponseLength > 0 &&
        m_totalBytesRead + length > static_cast<quint64>(m_maximumResponseLength))
        return false;
    if (m_inflater) {
        const GzipInflater::Status status = m_inflater->feed(data, static_cast<qsizetype>(length));
        if (status == GzipInflater::Status::Damaged || status == GzipInflater::Status::TooLarge)
            return false;
    } else if (!keepBody(data, static_cast<qsizetype>(length))) {
        return false;
    }
    m_totalBytesRead += length;
    if (!m_downloadProgressDelegate)
        return true;
    m_downloadProgressDelegate->requestDidReceiveBytes(
        *this, m_showAccurateProgress ? static_cast<qint64>(length) : 1);
    if (auto* fraction = dynamic_cast<HttpProgressFraction*>(m_downloadProgressDelegate)) {
        const double total = m_showAccurateProgress && m_contentLength > 0
                                 ? static_cast<double>(m_contentLength)
                                 : 1.0;
        fraction->setProgress(std::min(1.0, static_cast<double>(m_totalBytesRead) / total));
    }
    return true;
}

bool HttpRequest::keepBody(const char* data, qsizetype length) {
    if (m_downloadDestination != nullptr)
        return m_downloadDestination->write(data, length) == length;
    m_responseData.append(data, length);
    return true;
}

bool HttpRequest::finishBody() {
    if (!m_inflater)
        return true;
    const bool finished = m_inflater->finish() == GzipInflater::Status::Finished;
    m_inflater.reset();
    return finished;
}

QString HttpRequest::responseString() const {
    const QString contentType = headerValue(m_responseHeaders, QLatin1String("Content-Type"));
    const qsizetype at = contentType.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        const QString charset =
            contentType.mid(at + 8).section(QLatin1Char(';'), 0, 0).remove(QLatin1Char('"'));
        QStringDecoder decoder(charset.trimmed().toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(m_responseData);
    }
    return QString::fromLatin1(m_responseData);
}

} // namespace vaultora::net
