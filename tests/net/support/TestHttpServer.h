// A small HTTP/1.1 server on 127.0.0.1 for the client tests. Each connection is served on its
// own thread; the handler writes whatever bytes it likes, so tests can trickle, stall, close
// early or answer as a proxy. The server stops and joins its threads when destroyed.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace vaultora::test::http {

struct HttpTestRequest {
    std::string method;
    std::string target;
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // Counts from 0 in the order the server accepted the connections.
    int connection = 0;
    // Counts from 0 the requests read on that connection.
    int indexOnConnection = 0;

    [[nodiscard]] std::string header(std::string_view name) const;
    [[nodiscard]] bool hasHeader(std::string_view name) const;
};

class TestHttpServer;

// The handler's side of one connection.
class HttpTestResponder {
public:
    HttpTestResponder(TestHttpServer& server, int socket) : m_server(server), m_socket(socket) {}

    // Writes raw bytes; false once the peer has gone.
    bool send(std::string_view bytes);
    // Writes a whole response with a Content-Length for the body.
    bool respond(int status, std::string_view reason,
                 const std::vector<std::pair<std::string, std::string>>& headers,
                 std::string_view body);
    // Closes the connection after the handler returns.
    void closeAfterward() { m_close = true; }
    // Sleeps, ending early when the server stops; false when it stopped.
    bool pause(std::chrono::milliseconds duration);
    [[nodiscard]] bool closesAfterward() const { return m_close; }

private:
    TestHttpServer& m_server;
    int m_socket;
    bool m_close = false;
};

class TestHttpServer {
public:
    using Handler = std::function<void(const HttpTestRequest&, HttpTestResponder&)>;

    explicit TestHttpServer(Handler handler);
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;
    ~TestHttpServer();

    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    [[nodiscard]] std::string url(std::string_view path) const;
    [[nodiscard]] std::vector<HttpTestRequest> requests() const;
    [[nodiscard]] int connectionCount() const { return m_connectionCount; }
    [[nodiscard]] bool isStopping() const { return m_stopping; }

private:
    friend class HttpTestResponder;

    void acceptLoop();
    void serve(int socket, int connection);
    bool waitWhileRunning(std::chrono::milliseconds duration);

    Handler m_handler;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping = false;
    std::atomic<int> m_connectionCount = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::vector<HttpTestRequest> m_requests;
    std::vector<int> m_sockets;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

} // namespace vaultora::test::http
