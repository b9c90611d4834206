#include "tests/net/support/TestTlsServer.h"

#include <QProcess>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vaultora::test::http {

TestTlsServer::TestTlsServer(std::string answer) : m_answer(std::move(answer)) {
    if (!m_directory.isValid())
        return;
    const QString key = m_directory.filePath(QStringLiteral("key.pem"));
    const QString certificate = m_directory.filePath(QStringLiteral("certificate.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                   key, QStringLiteral("-out"), certificate, QStringLiteral("-days"),
                   QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return;

    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (!context)
        return;
    m_context = context;
    if (SSL_CTX_use_certificate_file(context, certificate.toLocal8Bit().constData(),
                                     SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, key.toLocal8Bit().constData(), SSL_FILETYPE_PEM) != 1)
        return;

    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 4) != 0)
        return;
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_ready = true;
    m_acceptor = std::thread([this] { acceptLoop(); });
}

TestTlsServer::~TestTlsServer() {
    m_stopping = true;
    if (m_listener >= 0)
        ::shutdown(m_listener, SHUT_RDWR);
    if (m_acceptor.joinable())
        m_acceptor.join();
    if (m_listener >= 0)
        ::close(m_listener);
    SSL_CTX_free(static_cast<SSL_CTX*>(m_context));
}

std::string TestTlsServer::url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + path;
}

void TestTlsServer::acceptLoop() {
    // One connection at a time is enough: each test makes one request.
    while (!m_stopping) {
        const int socket = ::accept(m_listener, nullptr, nullptr);
        if (socket < 0)
            return;
        timeval limit{5, 0};
        setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        SSL* connection = SSL_new(static_cast<SSL_CTX*>(m_context));
        SSL_set_fd(connection, socket);
        if (SSL_accept(connection) == 1) {
            char buffer[4096];
            if (SSL_read(connection, buffer, sizeof buffer) > 0) {
                SSL_write(connection, m_answer.data(), static_cast<int>(m_answer.size()));
            }
            SSL_shutdown(connection);
        }
        SSL_free(connection);
        ::close(socket);
    }
}

} // namespace vaultora::test::http
