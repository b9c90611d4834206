// A TLS server on 127.0.0.1 with a self-signed certificate made by the openssl command when
// the server starts. It answers every request it can read with the given answer, by default
// "200 OK" and the body "secure". It stops when destroyed.
#pragma once

#include <QTemporaryDir>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace vaultora::test::http {

class TestTlsServer {
public:
    explicit TestTlsServer(std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n"
                                                "Connection: close\r\n\r\nsecure");
    TestTlsServer(const TestTlsServer&) = delete;
    TestTlsServer& operator=(const TestTlsServer&) = delete;
    ~TestTlsServer();

    // False when the certificate could not be made.
    [[nodiscard]] bool isReady() const { return m_ready; }
    [[nodiscard]] std::string url(const std::string& path) const;

private:
    void acceptLoop();

    std::string m_answer;
    QTemporaryDir m_directory;
    bool m_ready = false;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping = false;
    void* m_context = nullptr;
    std::thread m_acceptor;
};

} // namespace vaultora::test::http
