#include "webserver/HttpConnection.h"

#include "webserver/HttpAuthentication.h"
#include "webserver/HttpFileResponse.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerLog.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTcpSocket>
#include <QUrl>
#include <QUuid>
#include <algorithm>

namespace vaultora::webserver {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Unknown";
    }
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, HttpServer* server)
    : QObject(server), m_socket(socket), m_server(server) {
    m_socket->setParent(this);
    // Bounded so that a fast sender waits in the kernel while a chunk is being handled.
    m_socket->setReadBufferSize(4 * kReadChunkSize);
    // A response is written as a header and then body chunks; without this the body waits
    // for the client's delayed acknowledgement of the header.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(kWriteTimeoutMilliseconds);
    connect(&m_writeTimer, &QTimer::timeout, this, &HttpConnection::close);
    // A client that holds a connection without finishing its request would otherwise keep it
    // for ever; the time-out runs over the whole header, so trickled bytes buy no time.
    m_requestTimer.setSingleShot(true);
    m_requestTimer.setInterval(server->connectionLimits().requestTimeout);
    connect(&m_requestTimer, &QTimer::timeout, this, [this] {
        serverLog(QStringLiteral("HTTP Server: closing a connection whose request is late"));
        close();
    });
    m_requestTimer.start();
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::processInput);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpConnection::onBytesWritten);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &HttpConnection::close);
    QMetaObject::invokeMethod(this, &HttpConnection::processInput, Qt::QueuedConnection);
}

HttpConnection::~HttpConnection() {
    m_socket->disconnect(this);
    m_socket->abort();
}

void HttpConnection::close() {
    if (m_state == State::Closed) {
        return;
    }
    m_state = State::Closed;
    m_writeTimer.stop();
    m_requestTimer.stop();
    m_socket->abort();
    onDisconnected();
}

QHostAddress HttpConnection::peerAddress() const {
    const QHostAddress address = m_socket->peerAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4) : address;
}

void HttpConnection::onDisconnected() {
    m_state = State::Closed;
    m_writeTimer.stop();
    m_requestTimer.stop();
    if (!m_died) {
        m_died = true;
        emit connectionDidDie(this);
    }
}

bool HttpConnection::supportsMethod(const QString& method, const QString& /*path*/) {
    return method == QLatin1String("GET") || method == QLatin1String("HEAD");
}

bool HttpConnection::isPasswordProtected(const QString& /*path*/) {
    return false;
}

bool HttpConnection::useDigestAccessAuthentication() {
    return true;
}

QString HttpConnection::realm() {
    return QStringLiteral("defaultRealm@host.com");
}

std::optional<QString> HttpConnection::passwordForUser(const QString& /*user*/) {
    return std::nullopt;
}

std::optional<QString> HttpConnection::filePathForURI(const QString& path) {
    return m_server->resolvePath(path, HttpServer::PathKind::File);
}

std::unique_ptr<HttpResponse> HttpConnection::httpResponseForMethod(const QString& /*method*/,
                                                                    const QString& path) {
    const std::optional<QString> filePath = filePathForURI(path);
    if (!filePath || !QFileInfo(*filePath).isFile()) {
        return nullptr;
    }
    auto response = std::make_unique<HttpFileResponse>(*filePath);
    if (!response->isValid()) {
        return nullptr;
    }
    return response;
}

void HttpConnection::prepareForBodyWithSize(uint64_t /*size*/) {}

void HttpConnection::processDataChunk(const QByteArray& /*chunk*/) {}

void HttpConnection::processInput() {
    while (m_state == State::ReadingHeader || m_state == State::ReadingBody) {
        if (m_state == State::ReadingHeader) {
            const QByteArray available = m_socket->peek(kMaxLineLength);
            const qsizetype end = available.indexOf("\r\n");
            if (end < 0) {
                // A line that does not end within the limit cannot be read: the socket
                // is dropped without an answer.
                if (available.size() >= kMaxLineLength) {
                    close();
                }
                return;
            }
            QByteArray line = m_socket->read(end + 2);
            line.chop(2);
            if (!handleHeaderLine(line)) {
                return;
            }
        } else {
            const uint64_t remaining = m_requestContentLength - m_requestContentLengthReceived;
            const auto wanted = static_cast<qint64>(std::min<uint64_t>(remaining, kReadChunkSize));
            if (m_socket->bytesAvailable() < wanted) {
                return;
            }
            const QByteArray chunk = m_socket->read(wanted);
            // Within a body only a pause counts: a large upload may take long in total.
            m_requestTimer.start();
            m_requestContentLengthReceived += static_cast<uint64_t>(chunk.size());
            if (!m_ignoreBody) {
                processDataChunk(chunk);
            }
            if (m_state == State::ReadingBody &&
                m_requestContentLengthReceived == m_requestContentLength) {
                replyToHTTPRequest();
            }
        }
    }
}

bool HttpConnection::handleHeaderLine(const QByteArray& line) {
    if (!m_request.appendLine(line)) {
        replyWithError(400, WriteTag::ErrorClose);
        return false;
    }
    if (m_request.isHeaderComplete()) {
        handleHeaderComplete();
        return true;
    }
    ++m_numHeaderLines;
    if (m_numHeaderLines > kMaxHeaderLines) {
        close();
        return false;
    }
    return true;
}

void HttpConnection::handleHeaderComplete() {
    m_requestTimer.stop();
    const QString method = QString::fromLatin1(m_request.method());
    const std::optional<uint64_t> bodyLength = m_request.bodyLength();
    if (!bodyLength) {
        replyWithError(400, WriteTag::ErrorClose);
        return;
    }
    m_requestContentLength = *bodyLength;
    m_closeAfterResponse = m_request.asksToClose();
    if (!supportsMethod(method, m_request.path())) {
        serverLog(QStringLiteral("HTTP Server: Error 405 - Method Not Allowed: %1").arg(method));
        replyWithError(405, WriteTag::ErrorClose);
        return;
    }
    // The body of a request that will be refused for its version is still read, to keep the
    // connection in step with the client, but none of it is handed on to be kept.
    m_ignoreBody = m_request.version() != "HTTP/1.1";
    if (m_requestContentLength > 0) {
        m_requestContentLengthReceived = 0;
        if (!m_ignoreBody) {
            prepareForBodyWithSize(m_requestContentLength);
        }
        m_state = State::ReadingBody;
        m_requestTimer.start();
        return;
    }
    replyToHTTPRequest();
}

void HttpConnection::replyToHTTPRequest() {
    m_state = State::Writing;
    m_requestTimer.stop();
    const QString method = QString::fromLatin1(m_request.method());
    const QString path = m_request.path();
    if (m_request.version() != "HTTP/1.1") {
        serverLog(QStringLiteral("HTTP Server: Error 505 - Version Not Supported: %1")
                      .arg(QString::fromLatin1(m_request.version())));
        replyWithError(505, WriteTag::ResponseFinal);
        return;
    }
    if (isPasswordProtected(path) && !isAuthenticated()) {
        serverLog(QStringLiteral("HTTP Server: Error 401 - Unauthorized"));
        replyWithError(401, WriteTag::ResponseFinal);
        return;
    }
    m_httpResponse = httpResponseForMethod(method, path);
    if (m_state == State::Closed) {
        return;
    }
    if (!m_httpResponse || m_httpResponse->contentLength() == 0) {
        m_httpResponse.reset();
        serverLog(QStringLiteral("HTTP Server: Error 404 - Not Found"));
        replyWithError(404, WriteTag::ResponseFinal);
        return;
    }

    const uint64_t length = m_httpResponse->contentLength();
    std::optional<std::vector<ByteRange>> ranges;
    if (const std::optional<QByteArray> rangeHeader = m_request.uniqueHeaderField("Range")) {
        ranges = parseByteRanges(*rangeHeader, length);
    }
    QByteArray header;
    uint64_t bodyLength = length;
    if (!ranges) {
        m_bodyKind = BodyKind::Full;
        header = statusLine(200);
    } else if (ranges->size() == 1) {
        m_bodyKind = BodyKind::SingleRange;
        m_ranges = std::move(*ranges);
        const ByteRange& range = m_ranges.front();
        bodyLength = range.length();
        header = statusLine(206) + "Content-Range: bytes " + QByteArray::number(range.first) + '-' +
                 QByteArray::number(range.last) + '/' + QByteArray::number(length) + "\r\n";
    } else {
        m_bodyKind = BodyKind::MultipleRanges;
        m_ranges = std::move(*ranges);
        m_rangesBoundary = QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1();
        bodyLength = 0;
        for (std::size_t index = 0; index < m_ranges.size(); ++index) {
            m_rangesHeaders.push_back(multipartHeaderForRange(index));
            bodyLength +=
                static_cast<uint64_t>(m_rangesHeaders.back().size()) + m_ranges[index].length();
        }
        bodyLength += static_cast<uint64_t>(("\r\n--" + m_rangesBoundary + "--\r\n").size());
        header = statusLine(206) +
                 "Content-Type: multipart/byteranges; boundary=" + m_rangesBoundary + "\r\n";
    }
    header += "Content-Length: " + QByteArray::number(bodyLength) + "\r\n" + commonHeaders();
    for (const auto& [name, value] : m_httpResponse->httpHeaders()) {
        header += name + ": " + value + "\r\n";
    }
    if (m_closeAfterResponse) {
        header += "Connection: close\r\n";
    }
    header += "\r\n";

    if (method == QLatin1String("HEAD")) {
        writeData(header, WriteTag::ResponseFinal, true);
        return;
    }
    m_rangeIndex = 0;
    m_rangePartStarted = false;
    if (m_bodyKind == BodyKind::SingleRange) {
        m_httpResponse->setOffset(m_ranges.front().first);
    } else {
        m_httpResponse->setOffset(0);
    }
    writeData(header, WriteTag::ResponseHeader, true);
}

QByteArray HttpConnection::multipartHeaderForRange(std::size_t index) const {
    const ByteRange& range = m_ranges[index];
    const QByteArray contentRange = "bytes " + QByteArray::number(range.first) + '-' +
                                    QByteArray::number(range.last) + '/' +
                                    QByteArray::number(m_httpResponse->contentLength());
    return "\r\n--" + m_rangesBoundary + "\r\nContent-Range: " + contentRange + "\r\n\r\n";
}

QByteArray HttpConnection::statusLine(int status) const {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
}

QByteArray HttpConnection::commonHeaders() const {
    const QString date = QLocale::c().toString(m_server->currentDateTime().toUTC(),
                                               QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
    return "Date: " + date.toLatin1() + "\r\nAccept-Ranges: bytes\r\n";
}

void HttpConnection::replyWithError(int status, WriteTag tag) {
    m_state = State::Writing;
    m_requestTimer.stop();
    if (status == 400) {
        serverLog(QStringLiteral("HTTP Server: Error 400 - Bad Request"));
    }
    QByteArray header = statusLine(status) + "Content-Length: 0\r\n" + commonHeaders();
    if (status == 401) {
        header += "WWW-Authenticate: " + authenticationChallenge() + "\r\n";
    }
    if (tag == WriteTag::ErrorClose || m_closeAfterResponse) {
        header += "Connection: close\r\n";
    }
    writeData(header + "\r\n", tag, true);
}

void HttpConnection::writeData(const QByteArray& data, WriteTag tag, bool withTimeout) {
    m_pendingTag = tag;
    if (withTimeout) {
        m_writeTimer.start();
    }
    m_socket->write(data);
}

void HttpConnection::onBytesWritten() {
    if (m_state != State::Writing || m_socket->bytesToWrite() > 0) {
        return;
    }
    m_writeTimer.stop();
    switch (m_pendingTag) {
    case WriteTag::ResponseHeader:
    case WriteTag::BodyChunk:
        writeNextBodyChunk();
        break;
    case WriteTag::ResponseFinal:
        finishResponse();
        break;
    case WriteTag::ErrorClose:
        m_state = State::Closed;
        m_socket->disconnectFromHost();
        break;
    }
}

void HttpConnection::writeNextBodyChunk() {
    QByteArray chunk;
    bool last = false;
    if (m_bodyKind == BodyKind::Full) {
        chunk = m_httpResponse->readDataOfLength(kWriteChunkSize);
        last = m_httpResponse->offset() >= m_httpResponse->contentLength();
    } else {
        const ByteRange& range = m_ranges[m_rangeIndex];
        if (m_bodyKind == BodyKind::MultipleRanges && !m_rangePartStarted) {
            m_httpResponse->setOffset(range.first);
            chunk = m_rangesHeaders[m_rangeIndex];
            m_rangePartStarted = true;
        }
        const uint64_t remaining = range.last + 1 - m_httpResponse->offset();
        const QByteArray data =
            m_httpResponse->readDataOfLength(std::min<uint64_t>(remaining, kWriteChunkSize));
        if (data.isEmpty()) {
            close();
            return;
        }
        chunk += data;
        if (m_httpResponse->offset() > range.last) {
            ++m_rangeIndex;
            m_rangePartStarted = false;
            last = m_rangeIndex == m_ranges.size();
            if (last && m_bodyKind == BodyKind::MultipleRanges) {
                chunk += "\r\n--" + m_rangesBoundary + "--\r\n";
            }
        }
    }
    if (chunk.isEmpty()) {
        // The source ended before the announced length: the client cannot tell where the
        // body stops, so the connection is dropped rather than left inconsistent.
        close();
        return;
    }
    writeData(chunk, last ? WriteTag::ResponseFinal : WriteTag::BodyChunk, false);
}

void HttpConnection::finishResponse() {
    m_httpResponse.reset();
    m_ranges.clear();
    m_rangesHeaders.clear();
    m_rangesBoundary.clear();
    m_rangeIndex = 0;
    m_request = HttpMessage();
    m_numHeaderLines = 0;
    m_requestContentLength = 0;
    m_requestContentLengthReceived = 0;
    if (m_closeAfterResponse) {
        m_state = State::Closed;
        m_socket->disconnectFromHost();
        return;
    }
    m_state = State::ReadingHeader;
    m_requestTimer.start();
    // Bytes of the next request may already wait in the socket's buffer without a new
    // readyRead to announce them.
    QMetaObject::invokeMethod(this, &HttpConnection::processInput, Qt::QueuedConnection);
}

bool HttpConnection::isAuthenticated() {
    const std::optional<QByteArray> authorization = m_request.uniqueHeaderField("Authorization");
    if (!authorization) {
        return false;
    }
    const auto lookup = [this](const QString& user) { return passwordForUser(user); };
    if (useDigestAccessAuthentication()) {
        return verifyDigestAuthorization(*authorization, m_request.method(), realm(), m_digestNonce,
                                         lookup);
    }
    return verifyBasicAuthorization(*authorization, lookup);
}

QByteArray HttpConnection::authenticationChallenge() {
    if (useDigestAccessAuthentication()) {
        m_digestNonce = QUuid::createUuid().toString(QUuid::Id128).toLatin1();
        return digestChallenge(realm(), m_digestNonce);
    }
    return basicChallenge(realm());
}

} // namespace vaultora::webserver
