#include "webserver/HttpServer.h"

#include "base/NotificationCenter.h"
#include "webserver/ConnectionListener.h"
#include "webserver/HttpConnection.h"
#include "webserver/ServerLog.h"
#include "webserver/ServicePublisher.h"
#include "webserver/UploadFile.h"
#include "webserver/WebServerNotifications.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QTcpSocket>
#include <algorithm>
#include <unistd.h>

namespace vaultora::webserver {

namespace {

constexpr int kListenBacklog = 256;

bool liesWithin(const QString& path, const QString& root) {
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path == root || path.startsWith(prefix);
}

} // namespace

HttpServer::HttpServer(QObject* parent)
    : QObject(parent), m_connectionFactory([](QTcpSocket* socket, HttpServer* server) {
          return new HttpConnection(socket, server);
      }) {}

HttpServer::~HttpServer() {
    stop();
}

void HttpServer::setDocumentRoot(const QString& path) {
    m_documentRoot = path.isEmpty() ? QString() : QDir::cleanPath(path);
}

uint16_t HttpServer::port() const {
    return isRunning() ? m_boundPort : m_configuredPort;
}

bool HttpServer::start(QString* error) {
    const auto fail = [this, error](const QString& reason) {
        serverLog(QStringLiteral("Failed to start HTTP Server: %1").arg(reason));
        if (error != nullptr) {
            *error = reason;
        }
        postAddressesResolved();
        return false;
    };
    if (isRunning()) {
        return fail(QStringLiteral("The server is already running"));
    }

    const auto reclaimer = [this] { return closeLongestIdleConnection(); };
    auto* ipv4 = new ConnectionListener(reclaimer, this);
    if (!ipv4->listen(ConnectionListener::Family::IPv4, m_configuredPort, kListenBacklog)) {
        const QString reason = ipv4->errorString();
        delete ipv4;
        return fail(reason);
    }
    m_ipv4Server = ipv4;
    m_boundPort = ipv4->port();
    connect(ipv4, &ConnectionListener::connectionAccepted, this, &HttpServer::acceptConnection);

    // IPv6 is optional: a host without it, or with the port taken there, is served on IPv4.
    auto* ipv6 = new ConnectionListener(reclaimer, this);
    if (ipv6->listen(ConnectionListener::Family::IPv6, m_boundPort, kListenBacklog)) {
        m_ipv6Server = ipv6;
        connect(ipv6, &ConnectionListener::connectionAccepted, this, &HttpServer::acceptConnection);
    } else {
        serverLog(
            QStringLiteral("HTTP Server: not listening on IPv6: %1").arg(ipv6->errorString()));
        delete ipv6;
    }

    if (!m_documentRoot.isEmpty()) {
        UploadFile::removeLeftovers(m_documentRoot);
    }
    serverLog(QStringLiteral("Started HTTP server on port %1").arg(m_boundPort));
    serverLog(QStringLiteral("Success to start HTTP Server."));
    if (!m_type.isEmpty()) {
        m_publisher =
            std::make_unique<ServicePublisher>(m_domain, m_type, m_name, m_boundPort, m_txtRecord);
    }
    postAddressesResolved();
    return true;
}

void HttpServer::postAddressesResolved() {
    emit localhostAdressesResolved();
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(notifications::localhostAdressesResolved));
}

void HttpServer::stop() {
    m_publisher.reset();
    delete m_ipv4Server;
    m_ipv4Server = nullptr;
    delete m_ipv6Server;
    m_ipv6Server = nullptr;

    QList<HttpConnection*> connections;
    {
        QMutexLocker locker(&m_connectionsLock);
        connections.swap(m_connections);
    }
    // The list is taken out first: closing a connection reports its death, which takes the
    // same lock.
    for (HttpConnection* connection : connections) {
        connection->disconnect(this);
        connection->close();
        connection->deleteLater();
    }
}

QString HttpServer::publishedName() const {
    return m_publisher ? m_publisher->publishedName() : QString();
}

int HttpServer::numberOfHTTPConnections() const {
    QMutexLocker locker(&m_connectionsLock);
    return static_cast<int>(m_connections.size());
}

void HttpServer::acceptConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket();
    if (!socket->setSocketDescriptor(descriptor)) {
        serverLog(QStringLiteral("HTTP Server: cannot use an accepted connection: %1")
                      .arg(socket->errorString()));
        ::close(static_cast<int>(descriptor));
        delete socket;
        return;
    }
    bool isIPv4 = false;
    const quint32 ipv4 = socket->peerAddress().toIPv4Address(&isIPv4);
    const QHostAddress peer = isIPv4 ? QHostAddress(ipv4) : socket->peerAddress();
    if (!makeRoomFor(peer)) {
        serverLog(QStringLiteral("HTTP Server: refused a connection from %1: too many connections")
                      .arg(peer.toString()));
        socket->abort();
        delete socket;
        return;
    }
    HttpConnection* connection = m_connectionFactory(socket, this);
    connect(connection, &HttpConnection::connectionDidDie, this, &HttpServer::connectionDidDie);
    QMutexLocker locker(&m_connectionsLock);
    m_connections.append(connection);
}

bool HttpServer::makeRoomFor(const QHostAddress& peer) {
    qsizetype total = 0;
    qsizetype fromPeer = 0;
    {
        QMutexLocker locker(&m_connectionsLock);
        total = m_connections.size();
        fromPeer = std::count_if(m_connections.begin(), m_connections.end(),
                                 [&peer](const HttpConnection* connection) {
                                     return connection->peerAddress() == peer;
                                 });
    }
    // One client may hold only its share, so that it cannot crowd out the others.
    if (fromPeer >= m_limits.maxConnectionsPerPeer) {
        return false;
    }
    return total < m_limits.maxConnections || closeLongestIdleConnection();
}

bool HttpServer::closeLongestIdleConnection() {
    HttpConnection* longestIdle = nullptr;
    {
        QMutexLocker locker(&m_connectionsLock);
        // Connections are kept in the order they were accepted.
        const auto found =
            std::find_if(m_connections.begin(), m_connections.end(),
                         [](const HttpConnection* connection) { return connection->isIdle(); });
        if (found == m_connections.end()) {
            return false;
        }
        longestIdle = *found;
    }
    // Closing reports the connection's death, which takes the lock again.
    longestIdle->close();
    return true;
}

void HttpServer::connectionDidDie(HttpConnection* connection) {
    {
        QMutexLocker locker(&m_connectionsLock);
        m_connections.removeOne(connection);
    }
    // The connection may still be on the stack of its own socket callback.
    connection->deleteLater();
}

std::optional<QString> HttpServer::resolvePath(const QString& path, PathKind kind) const {
    if (m_documentRoot.isEmpty()) {
        return std::nullopt;
    }
    QString relativePath = path;
    const qsizetype queryStart = relativePath.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (queryStart >= 0) {
        relativePath.truncate(queryStart);
    }
    const QByteArray decoded = QByteArray::fromPercentEncoding(relativePath.toUtf8());
    if (decoded.contains('\0')) {
        return std::nullopt;
    }
    relativePath = QString::fromUtf8(decoded);
    while (relativePath.size() > 1 && relativePath.startsWith(QLatin1Char('/'))) {
        relativePath.remove(0, 1);
    }
    if (relativePath == QLatin1String("/") || relativePath.isEmpty()) {
        // The root itself is a directory; it has no file of its own.
        if (kind == PathKind::File) {
            return std::nullopt;
        }
        relativePath.clear();
    } else if (kind == PathKind::File && relativePath.endsWith(QLatin1Char('/'))) {
        relativePath += QStringLiteral("index.html");
    }
    const QString candidate = QDir::cleanPath(m_documentRoot + QLatin1Char('/') + relativePath);
    if (!liesWithin(candidate, m_documentRoot)) {
        return std::nullopt;
    }
    const QFileInfo info(candidate);
    if (info.exists() &&
        !liesWithin(info.canonicalFilePath(), QFileInfo(m_documentRoot).canonicalFilePath())) {
        return std::nullopt;
    }
    return candidate;
}

} // namespace vaultora::webserver
