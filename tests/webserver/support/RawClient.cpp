#include "tests/webserver/support/RawClient.h"

#include <QEventLoop>
#include <arpa/inet.h>
#include <exception>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

namespace vaultora::test::web {

std::optional<QByteArray> ParsedResponse::header(const QByteArray& name) const {
    for (const auto& [fieldName, value] : headers) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

RawClient::RawClient(uint16_t port, Family family) {
    const int domain = family == Family::IPv4 ? AF_INET : AF_INET6;
    m_socket = ::socket(domain, SOCK_STREAM, 0);
    // A server that never answers fails the test instead of hanging it.
    timeval timeout{20, 0};
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    int result = -1;
    if (family == Family::IPv4) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        result = ::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        address.sin6_addr = in6addr_loopback;
        result = ::connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    if (result != 0) {
        close();
    }
}

RawClient::~RawClient() {
    close();
}

void RawClient::close() {
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

void RawClient::send(const QByteArray& bytes) {
    qsizetype sent = 0;
    while (m_socket >= 0 && sent < bytes.size()) {
        const ssize_t count = ::send(m_socket, bytes.constData() + sent,
                                     static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (count <= 0) {
            return;
        }
        sent += count;
    }
}

bool RawClient::fill() {
    char chunk[65536];
    const ssize_t count = ::recv(m_socket, chunk, sizeof chunk, 0);
    if (count <= 0) {
        return false;
    }
    m_buffer.append(chunk, count);
    return true;
}

std::optional<ParsedResponse> RawClient::readResponse(bool headOnly) {
    qsizetype headerEnd = -1;
    while ((headerEnd = m_buffer.indexOf("\r\n\r\n")) < 0) {
        if (!fill()) {
            return std::nullopt;
        }
    }
    const QList<QByteArray> lines = m_buffer.left(headerEnd).split('\n');
    m_buffer.remove(0, headerEnd + 4);
    ParsedResponse response;
    const QList<QByteArray> statusParts = lines.front().trimmed().split(' ');
    if (statusParts.size() < 2 || statusParts.front() != "HTTP/1.1") {
        return std::nullopt;
    }
    response.status = statusParts.at(1).toInt();
    for (qsizetype index = 1; index < lines.size(); ++index) {
        const QByteArray line = lines.at(index).trimmed();
        const qsizetype colon = line.indexOf(':');
        response.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    const qsizetype length =
        headOnly ? 0 : response.header("Content-Length").value_or("0").toLongLong();
    while (m_buffer.size() < length) {
        if (!fill()) {
            return std::nullopt;
        }
    }
    response.body = m_buffer.left(length);
    m_buffer.remove(0, length);
    return response;
}

bool RawClient::closedByPeer() {
    if (!m_buffer.isEmpty()) {
        return false;
    }
    char byte = 0;
    return ::recv(m_socket, &byte, 1, 0) == 0;
}

void runClient(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread thread([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    thread.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace vaultora::test::web
