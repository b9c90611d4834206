#pragma once

#include "webserver/ByteRanges.h"
#include "webserver/HttpMessage.h"
#include "webserver/HttpResponse.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QTcpSocket;

namespace vaultora::webserver {

class HttpServer;

// One accepted socket. Reads one request at a time, asks the overridable operations below
// for an answer and writes it back, then waits for the next request on the same socket.
class HttpConnection : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxLineLength = 8190;
    static constexpr int kMaxHeaderLines = 100;
    static constexpr qint64 kReadChunkSize = 32768;
    static constexpr qint64 kWriteChunkSize = 131072;
    static constexpr int kWriteTimeoutMilliseconds = 30000;

    // Takes over the socket; the server does not own the connection's work, only its life.
    HttpConnection(QTcpSocket* socket, HttpServer* server);
    ~HttpConnection() override;

    [[nodiscard]] HttpServer* server() const { return m_server; }
    // Drops the socket at once; the connection then reports its death.
    void close();
    // Waiting for, or still reading, the header of a request: nothing is under way that
    // closing the connection would break.
    [[nodiscard]] bool isIdle() const { return m_state == State::ReadingHeader; }
    // The client's address, IPv4 addresses mapped into IPv6 written as IPv4.
    [[nodiscard]] QHostAddress peerAddress() const;

    // Operations a subclass may override.
    [[nodiscard]] virtual bool supportsMethod(const QString& method, const QString& path);
    [[nodiscard]] virtual bool isPasswordProtected(const QString& path);
    [[nodiscard]] virtual bool useDigestAccessAuthentication();
    [[nodiscard]] virtual QString realm();
    [[nodiscard]] virtual std::optional<QString> passwordForUser(const QString& user);
    [[nodiscard]] virtual std::optional<QString> filePathForURI(const QString& path);
    [[nodiscard]] virtual std::unique_ptr<HttpResponse> httpResponseForMethod(const QString& method,
                                                                              const QString& path);
    virtual void prepareForBodyWithSize(uint64_t size);
    virtual void processDataChunk(const QByteArray& chunk);

signals:
    // The socket is gone; the server drops the connection.
    void connectionDidDie(webserver::HttpConnection* connection);

protected:
    [[nodiscard]] const HttpMessage& request() const { return m_request; }
    [[nodiscard]] uint64_t requestContentLength() const { return m_requestContentLength; }
    void resetRequestContentLength() { m_requestContentLength = 0; }

private:
    enum class State { ReadingHeader, ReadingBody, Writing, Closed };
    // What the write in flight is; the state machine moves on when it has drained.
    enum class WriteTag { ResponseHeader, BodyChunk, ResponseFinal, ErrorClose };
    enum class BodyKind { Full, SingleRange, MultipleRanges };

    void processInput();
    [[nodiscard]] bool handleHeaderLine(const QByteArray& line);
    void handleHeaderComplete();
    void replyToHTTPRequest();
    void replyWithError(int status, WriteTag tag);
    [[nodiscard]] QByteArray statusLine(int status) const;
    [[nodiscard]] QByteArray commonHeaders() const;
    [[nodiscard]] QByteArray multipartHeaderForRange(std::size_t index) const;
    void writeData(const QByteArray& data, WriteTag tag, bool withTimeout);
    void writeNextBodyChunk();
    void onBytesWritten();
    void finishResponse();
    void onDisconnected();
    [[nodiscard]] bool isAuthenticated();
    [[nodiscard]] QByteArray authenticationChallenge();

    QTcpSocket* m_socket;
    HttpServer* m_server;
    State m_state = State::ReadingHeader;
    HttpMessage m_request;
    int m_numHeaderLines = 0;
    uint64_t m_requestContentLength = 0;
    uint64_t m_requestContentLengthReceived = 0;
    bool m_ignoreBody = false;
    bool m_closeAfterResponse = false;
    std::unique_ptr<HttpResponse> m_httpResponse;
    BodyKind m_bodyKind = BodyKind::Full;
    std::vector<ByteRange> m_ranges;
    std::vector<QByteArray> m_rangesHeaders;
    QByteArray m_rangesBoundary;
    std::size_t m_rangeIndex = 0;
    bool m_rangePartStarted = false;
    WriteTag m_pendingTag = WriteTag::ResponseFinal;
    QTimer m_writeTimer;
    QTimer m_requestTimer;
    QByteArray m_digestNonce;
    bool m_died = false;
};

} // namespace vaultora::webserver
