#include "CollectionService.h"

#include <QTcpSocket>

#include <memory>

namespace {

// Parses a complete request out of buffer, or returns false while more bytes are needed.
bool parseRequest(const QByteArray& buffer, CollectionService::Request& request) {
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return false;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() < 2) {
        return false;
    }
    request.method = requestLine[0];
    request.path = requestLine[1];
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const qsizetype colon = lines[index].indexOf(':');
        if (colon > 0) {
            request.headers.insert(lines[index].left(colon).trimmed().toLower(),
                                   lines[index].mid(colon + 1).trimmed());
        }
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() - headerEnd - 4 < length) {
        return false;
    }
    request.body = buffer.mid(headerEnd + 4, length);
    return true;
}

} // namespace

CollectionService::CollectionService(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &CollectionService::acceptConnections);
}

bool CollectionService::listen() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl CollectionService::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/crash/submit").arg(m_server.serverPort()));
}

void CollectionService::setAnswer(int status, QByteArray body) {
    m_status = status;
    m_answer = std::move(body);
}

void CollectionService::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            Request request;
            if (!parseRequest(*buffer, request)) {
                return;
            }
            m_requests.append(request);
            const QByteArray answer = "HTTP/1.1 " + QByteArray::number(m_status) +
                                      " Answer\r\nContent-Type: text/xml\r\nContent-Length: " +
                                      QByteArray::number(m_answer.size()) +
                                      "\r\nConnection: close\r\n\r\n" + m_answer;
            socket->write(answer);
            socket->disconnectFromHost();
            emit requestReceived();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}
