#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <chrono>
#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QHostAddress;
class QTcpSocket;

namespace vaultora::webserver {

class ConnectionListener;
class HttpConnection;
class ServicePublisher;

// How much of the server one client, or all of them together, may hold.
struct ConnectionLimits {
    // Open connections in total; beyond it the longest idle one makes room for a new one.
    int maxConnections = 256;
    // Open connections from one address; more are refused.
    int maxConnectionsPerPeer = 32;
    // Time a connection has to send a request line and header, and the longest pause allowed
    // within a body.
    std::chrono::milliseconds requestTimeout{30000};
};

// A small HTTP/1.1 server on the thread that creates it: it listens on every IPv4 and IPv6
// address, hands each accepted socket to a connection object of the configured class and
// announces itself by multicast DNS when a service type is set.
class HttpServer : public QObject {
    Q_OBJECT

public:
    using ConnectionFactory = std::function<HttpConnection*(QTcpSocket*, HttpServer*)>;
    enum class PathKind { File, Directory };

    explicit HttpServer(QObject* parent = nullptr);
    ~HttpServer() override;

    void setDocumentRoot(const QString& path);
    [[nodiscard]] QString documentRoot() const { return m_documentRoot; }
    template <std::derived_from<HttpConnection> Connection> void setConnectionClass() {
        m_connectionFactory = [](QTcpSocket* socket, HttpServer* server) -> HttpConnection* {
            return new Connection(socket, server);
        };
    }
    void setType(const QString& type) { m_type = type; }
    [[nodiscard]] QString type() const { return m_type; }
    void setDomain(const QString& domain) { m_domain = domain; }
    [[nodiscard]] QString domain() const { return m_domain; }
    void setName(const QString& name) { m_name = name; }
    [[nodiscard]] QString name() const { return m_name; }
    void setPort(uint16_t port) { m_configuredPort = port; }
    // The bound port while running, else the configured one.
    [[nodiscard]] uint16_t port() const;
    void setConnectionLimits(const ConnectionLimits& limits) { m_limits = limits; }
    [[nodiscard]] const ConnectionLimits& connectionLimits() const { return m_limits; }
    void setTXTRecordDictionary(const QMap<QString, QByteArray>& record) { m_txtRecord = record; }
    // Replaces the clock of the Date header.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    [[nodiscard]] QDateTime currentDateTime() const { return m_clock(); }

    // Fills error with the reason when listening fails.
    [[nodiscard]] bool start(QString* error = nullptr);
    void stop();
    [[nodiscard]] bool isRunning() const { return m_ipv4Server != nullptr; }
    [[nodiscard]] bool isListeningOnIPv6() const { return m_ipv6Server != nullptr; }
    // The announced name; empty until the announcement has been accepted.
    [[nodiscard]] QString publishedName() const;
    [[nodiscard]] int numberOfHTTPConnections() const;

    // Maps a request path onto the document root: percent escapes decoded, "." and ".."
    // resolved, symbolic links followed. Nothing when it would leave the root.
    [[nodiscard]] std::optional<QString> resolvePath(const QString& path, PathKind kind) const;

signals:
    // Posted after every start, whether it succeeded or not.
    void localhostAdressesResolved();

private:
    void postAddressesResolved();
    void acceptConnection(qintptr descriptor);
    // Whether a connection from that address may be added now; may close the longest idle
    // connection to make room.
    [[nodiscard]] bool makeRoomFor(const QHostAddress& peer);
    // Closes the connection that has waited longest for a request; false when none waits.
    bool closeLongestIdleConnection();
    void connectionDidDie(HttpConnection* connection);

    QString m_documentRoot;
    ConnectionFactory m_connectionFactory;
    QString m_type;
    QString m_domain = QStringLiteral("local.");
    QString m_name;
    uint16_t m_configuredPort = 0;
    uint16_t m_boundPort = 0;
    QMap<QString, QByteArray> m_txtRecord;
    ConnectionLimits m_limits;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTimeUtc(); };
    ConnectionListener* m_ipv4Server = nullptr;
    ConnectionListener* m_ipv6Server = nullptr;
    std::unique_ptr<ServicePublisher> m_publisher;
    mutable QMutex m_connectionsLock;
    QList<HttpConnection*> m_connections;
};

} // namespace vaultora::webserver
