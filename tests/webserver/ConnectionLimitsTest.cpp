#include "tests/webserver/support/RawClient.h"
#include "tests/webserver/support/Wait.h"
#include "webserver/HttpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using vaultora::test::web::RawClient;
using vaultora::test::web::runClient;

namespace {

using namespace std::chrono_literals;

class ConnectionLimits : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        QFile file(m_root.filePath(QStringLiteral("file.bin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("file bytes");
        file.close();
        m_server.setDocumentRoot(m_root.path());
    }

    void start(const vaultora::webserver::ConnectionLimits& limits) {
        m_server.setConnectionLimits(limits);
        ASSERT_TRUE(m_server.start());
    }

    bool connectionsBecome(int count) {
        return vaultora::test::web::waitUntil(
            [&] { return m_server.numberOfHTTPConnections() == count; });
    }

    // Asks for the file on the client's connection; true when it is served.
    static bool served(RawClient& client) {
        bool ok = false;
        runClient([&] {
            client.send("GET /file.bin HTTP/1.1\r\n\r\n");
            const auto response = client.readResponse();
            ok = response && response->body == "file bytes";
        });
        return ok;
    }

    QTemporaryDir m_root;
    vaultora::webserver::HttpServer m_server;
};

TEST_F(ConnectionLimits, ClosesAConnectionThatDoesNotCompleteItsHeaderInTime) {
    start({.maxConnections = 10, .maxConnectionsPerPeer = 10, .requestTimeout = 300ms});
    RawClient silent(m_server.port());
    RawClient partial(m_server.port());
    RawClient kept(m_server.port());
    runClient([&] { partial.send("GET /file.bin HTTP/1.1\r\nHost: x\r\n"); });
    ASSERT_TRUE(served(kept));
    // Bytes that trickle in do not buy more time: the header as a whole is late.
    for (int index = 0; index < 5; ++index) {
        runClient([&] { partial.send("X: y\r\n"); });
        QTest::qWait(100);
    }
    ASSERT_TRUE(connectionsBecome(0));
    runClient([&] {
        EXPECT_TRUE(silent.closedByPeer());
        EXPECT_TRUE(partial.closedByPeer());
        EXPECT_TRUE(kept.closedByPeer());
    });
}

TEST_F(ConnectionLimits, RefusesConnectionsBeyondTheLimitOfOnePeer) {
    start({.maxConnections = 10, .maxConnectionsPerPeer = 3, .requestTimeout = 30s});
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int index = 0; index < 5; ++index) {
        clients.push_back(std::make_unique<RawClient>(m_server.port()));
    }
    ASSERT_TRUE(connectionsBecome(3));
    runClient([&] {
        EXPECT_TRUE(clients[3]->closedByPeer());
        EXPECT_TRUE(clients[4]->closedByPeer());
    });
    EXPECT_TRUE(served(*clients[0]));
    clients[1].reset();
    ASSERT_TRUE(connectionsBecome(2));
    RawClient later(m_server.port());
    EXPECT_TRUE(served(later));
}

TEST_F(ConnectionLimits, MakesRoomForANewConnectionByClosingTheLongestIdle) {
    start({.maxConnections = 3, .maxConnectionsPerPeer = 10, .requestTimeout = 30s});
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int index = 0; index < 3; ++index) {
        clients.push_back(std::make_unique<RawClient>(m_server.port()));
        ASSERT_TRUE(connectionsBecome(index + 1));
    }
    RawClient newcomer(m_server.port());
    EXPECT_TRUE(served(newcomer));
    runClient([&] { EXPECT_TRUE(clients[0]->closedByPeer()); });
    EXPECT_EQ(m_server.numberOfHTTPConnections(), 3);
    EXPECT_TRUE(served(*clients[1]));
}

TEST_F(ConnectionLimits, KeepsAcceptingWhenTheProcessRunsOutOfDescriptors) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer runtime needs descriptors of its own (a pipe for each first "
                    "check of a dynamic type), so it cannot run in a process that has none left";
#endif
    start({.maxConnections = 1000, .maxConnectionsPerPeer = 1000, .requestTimeout = 30s});
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int index = 0; index < 3; ++index) {
        idle.push_back(std::make_unique<RawClient>(m_server.port()));
    }
    ASSERT_TRUE(connectionsBecome(3));
    // The newcomer's socket exists before the limit drops to the lowest free descriptor, so
    // that only the server's accept finds no descriptor left.
    const int newcomer = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(newcomer, 0);
    const int lowestFree = ::dup(0);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &previous), 0);
    rlimit exhausted = previous;
    exhausted.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &exhausted), 0);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_server.port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int connected =
        ::connect(newcomer, reinterpret_cast<sockaddr*>(&address), sizeof address);
    QByteArray answer;
    if (connected == 0) {
        runClient([&] {
            const QByteArray request = "GET /file.bin HTTP/1.1\r\nConnection: close\r\n\r\n";
            static_cast<void>(::send(newcomer, request.constData(), request.size(), 0));
            timeval timeout{10, 0};
            ::setsockopt(newcomer, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            char buffer[4096];
            ssize_t count = 0;
            while ((count = ::recv(newcomer, buffer, sizeof buffer, 0)) > 0) {
                answer.append(buffer, count);
            }
        });
    }
    ::setrlimit(RLIMIT_NOFILE, &previous);
    ::close(newcomer);
    ASSERT_EQ(connected, 0);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200")) << answer.toStdString();
    EXPECT_TRUE(answer.endsWith("file bytes"));
    runClient([&] { EXPECT_TRUE(idle[0]->closedByPeer()); });
    // With descriptors back the server goes on accepting as before.
    RawClient afterwards(m_server.port());
    EXPECT_TRUE(served(afterwards));
}

} // namespace
