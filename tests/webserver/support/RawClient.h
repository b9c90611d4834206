#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <cstdint>
#include <functional>
#include <optional>

namespace vaultora::test::web {

struct ParsedResponse {
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    [[nodiscard]] std::optional<QByteArray> header(const QByteArray& name) const;
};

// A blocking HTTP client on a plain socket, to be used off the main thread (see
// runClient) so that the server's event loop keeps running.
class RawClient final {
public:
    enum class Family { IPv4, IPv6 };

    RawClient(uint16_t port, Family family = Family::IPv4);
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    [[nodiscard]] bool isConnected() const { return m_socket >= 0; }
    void send(const QByteArray& bytes);
    // Reads one response; nothing when the server closed the connection first.
    [[nodiscard]] std::optional<ParsedResponse> readResponse(bool headOnly = false);
    // True when the server closes the connection without sending anything more.
    [[nodiscard]] bool closedByPeer();
    void close();

private:
    [[nodiscard]] bool fill();

    int m_socket = -1;
    QByteArray m_buffer;
};

// Runs work on another thread while the calling thread's event loop runs, and rethrows
// what work threw.
void runClient(const std::function<void()>& work);

} // namespace vaultora::test::web
