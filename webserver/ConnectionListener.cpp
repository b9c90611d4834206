#include "webserver/ConnectionListener.h"

#include "webserver/ServerLog.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vaultora::webserver {

namespace {

// How long accepting pauses when no descriptor can be freed; trying again at once would only
// spin on the same waiting client.
constexpr int kRetryMilliseconds = 200;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool isOutOfResources(int error) {
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

} // namespace

ConnectionListener::ConnectionListener(DescriptorReclaimer reclaimer, QObject* parent)
    : QObject(parent), m_reclaimer(std::move(reclaimer)) {
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(kRetryMilliseconds);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        m_notifier->setEnabled(true);
        acceptPending();
    });
}

ConnectionListener::~ConnectionListener() {
    delete m_notifier;
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

bool ConnectionListener::listen(Family family, uint16_t port, int backlog) {
    const int domain = family == Family::IPv4 ? AF_INET : AF_INET6;
    m_descriptor = ::socket(domain, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_descriptor < 0) {
        m_errorString = systemError();
        return false;
    }
    const int on = 1;
    ::setsockopt(m_descriptor, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    int bound = -1;
    if (family == Family::IPv4) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        bound = ::bind(m_descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        // The IPv4 addresses are served by their own socket on the same port.
        ::setsockopt(m_descriptor, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        address.sin6_addr = in6addr_any;
        bound = ::bind(m_descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    if (bound != 0 || ::listen(m_descriptor, backlog) != 0) {
        m_errorString = systemError();
        ::close(m_descriptor);
        m_descriptor = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(m_descriptor, QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConnectionListener::acceptPending);
    return true;
}

uint16_t ConnectionListener::port() const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (m_descriptor < 0 ||
        ::getsockname(m_descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.ss_family == AF_INET
                     ? reinterpret_cast<const sockaddr_in&>(address).sin_port
                     : reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
}

void ConnectionListener::acceptPending() {
    for (;;) {
        const int connection =
            ::accept4(m_descriptor, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0) {
            emit connectionAccepted(connection);
            continue;
        }
        const int error = errno;
        if (error == EINTR || error == ECONNABORTED) {
            continue;
        }
        if (error == EAGAIN || error == EWOULDBLOCK) {
            return;
        }
        if (isOutOfResources(error) && m_reclaimer && m_reclaimer()) {
            serverLog(QStringLiteral("HTTP Server: out of descriptors, closed an idle connection"));
            continue;
        }
        serverLog(QStringLiteral("HTTP Server: cannot accept a connection: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(error))));
        pauseAccepting();
        return;
    }
}

void ConnectionListener::pauseAccepting() {
    m_notifier->setEnabled(false);
    m_retryTimer.start();
}

} // namespace vaultora::webserver
