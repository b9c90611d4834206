#include "tests/net/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vaultora::test::http {

std::string HttpTestRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && strncasecmp(key.data(), name.data(), key.size()) == 0)
            return value;
    }
    return {};
}

bool HttpTestRequest::hasHeader(std::string_view name) const {
    for (const auto& header : headers) {
        if (header.first.size() == name.size() &&
            strncasecmp(header.first.data(), name.data(), name.size()) == 0)
            return true;
    }
    return false;
}

bool HttpTestResponder::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool HttpTestResponder::respond(int status, std::string_view reason,
                                const std::vector<std::pair<std::string, std::string>>& headers,
                                std::string_view body) {
    std::string message = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
    for (const auto& [name, value] : headers)
        message += name + ": " + value + "\r\n";
    message += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    message += body;
    return send(message);
}

bool HttpTestResponder::pause(std::chrono::milliseconds duration) {
    return m_server.waitWhileRunning(duration);
}

TestHttpServer::TestHttpServer(Handler handler) : m_handler(std::move(handler)) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listener < 0)
        throw std::runtime_error("socket");
    const int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0)
        throw std::runtime_error("bind");
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
    m_stopping = true;
    m_stopped.notify_all();
    ::shutdown(m_listener, SHUT_RDWR);
    m_acceptor.join();
    {
        const std::lock_guard lock(m_mutex);
        for (const int socket : m_sockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    for (std::thread& thread : m_threads)
        thread.join();
    ::close(m_listener);
}

std::string TestHttpServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::vector<HttpTestRequest> TestHttpServer::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

bool TestHttpServer::waitWhileRunning(std::chrono::milliseconds duration) {
    std::unique_lock lock(m_mutex);
    return !m_stopped.wait_for(lock, duration, [this] { return m_stopping.load(); });
}

void TestHttpServer::acceptLoop() {
    while (!m_stopping) {
        const int socket = ::accept(m_listener, nullptr, nullptr);
        if (socket < 0)
            return;
        const int connection = m_connectionCount++;
        const std::lock_guard lock(m_mutex);
        if (m_stopping) {
            ::close(socket);
            return;
        }
        m_sockets.push_back(socket);
        m_threads.emplace_back([this, socket, connection] { serve(socket, connection); });
    }
}

void TestHttpServer::serve(int socket, int connection) {
    std::string buffer;
    char chunk[16 * 1024];
    int index = 0;
    bool open = true;
    while (open && !m_stopping) {
        std::size_t headerEnd;
        while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t received = ::recv(socket, chunk, sizeof chunk, 0);
            if (received <= 0) {
                open = false;
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(received));
        }
        if (!open)
            break;
        HttpTestRequest request;
        request.connection = connection;
        request.indexOnConnection = index++;
        const std::string head = buffer.substr(0, headerEnd);
        buffer.erase(0, headerEnd + 4);
        std::size_t lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const std::size_t firstSpace = requestLine.find(' ');
        const std::size_t secondSpace = requestLine.rfind(' ');
        request.method = requestLine.substr(0, firstSpace);
        request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
        request.version = requestLine.substr(secondSpace + 1);
        while (lineEnd != std::string::npos) {
            const std::size_t start = lineEnd + 2;
            lineEnd = head.find("\r\n", start);
            const std::string line = head.substr(
                start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::size_t valueStart = colon + 1;
            while (valueStart < line.size() && line[valueStart] == ' ')
                ++valueStart;
            request.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
        }
        const std::string lengthText = request.header("Content-Length");
        const std::size_t length = lengthText.empty() ? 0 : std::stoul(lengthText);
        while (buffer.size() < length) {
            const ssize_t received = ::recv(socket, chunk, sizeof chunk, 0);
            if (received <= 0) {
                open = false;
                break;
            }
            buffer.append(chunk, static_cast<std::size_t>(received));
        }
        if (!open)
            break;
        request.body = buffer.substr(0, length);
        buffer.erase(0, length);
        {
            const std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
        }
        HttpTestResponder responder(*this, socket);
        m_handler(request, responder);
        if (responder.closesAfterward())
            open = false;
    }
    ::shutdown(socket, SHUT_RDWR);
    const std::lock_guard lock(m_mutex);
    std::erase(m_sockets, socket);
    ::close(socket);
}

} // namespace vaultora::test::http
