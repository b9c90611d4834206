#include "base/NotificationCenter.h"
#include "tests/webserver/support/LogCapture.h"
#include "tests/webserver/support/RawClient.h"
#include "tests/webserver/support/Wait.h"
#include "webserver/HttpServer.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <gtest/gtest.h>

using vaultora::test::web::RawClient;
using vaultora::test::web::runClient;

namespace {

TEST(HTTPServerLifecycle, StartsOnASystemChosenPortAndAnnouncesEveryStart) {
    vaultora::test::web::LogCapture log;
    int announcements = 0;
    QObject observer;
    vaultora::base::NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("LocalhostAdressesResolved"), &observer,
        [&announcements](const vaultora::base::Notification&) { ++announcements; });

    vaultora::webserver::HttpServer server;
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    EXPECT_NE(server.port(), 0);
    EXPECT_EQ(announcements, 1);
    EXPECT_TRUE(log.contains(QStringLiteral("Started HTTP server on port %1").arg(server.port())));
    EXPECT_TRUE(log.contains(QStringLiteral("Success to start HTTP Server.")));

    // A second start while running fails, and is announced all the same.
    EXPECT_FALSE(server.start(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(announcements, 2);

    server.stop();
    EXPECT_FALSE(server.isRunning());
    ASSERT_TRUE(server.start(&error));
    EXPECT_EQ(announcements, 3);
}

TEST(HTTPServerLifecycle, ReportsAPortInUseAndCanStartAgainAfterwards) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::AnyIPv4, 0));
    vaultora::test::web::LogCapture log;
    vaultora::webserver::HttpServer server;
    QSignalSpy resolved(&server, &vaultora::webserver::HttpServer::localhostAdressesResolved);
    server.setPort(occupant.serverPort());
    QString error;
    EXPECT_FALSE(server.start(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(resolved.count(), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("Failed to start HTTP Server: %1").arg(error)));

    server.setPort(0);
    EXPECT_TRUE(server.start(&error));
}

TEST(HTTPServerLifecycle, KeepsServingWhenTheAnnouncementCannotBePublished) {
    vaultora::test::web::LogCapture log;
    vaultora::webserver::HttpServer server;
    server.setType(QStringLiteral("_http._tcp."));
    server.setName(QStringLiteral("vaultora-test"));
    ASSERT_TRUE(server.start());
    // With a daemon the service is published, without one the failure is logged; either
    // way one of the two lines appears and the server still answers.
    const auto reported = [&log] {
        for (const QString& line : log.lines()) {
            if (line.startsWith(QLatin1String("Bonjour Service Published: domain(local.) "
                                              "type(_http._tcp.) name(vaultora-test)")) ||
                line.startsWith(QLatin1String("Failed to Publish Service: domain(local.) "
                                              "type(_http._tcp.) name(vaultora-test)"))) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(vaultora::test::web::waitUntil(reported));
    runClient([&server] {
        RawClient client(server.port());
        client.send("GET /nothing HTTP/1.1\r\n\r\n");
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 404);
    });
}

TEST(HTTPServerLifecycle, TracksOpenConnectionsAndDropsThemOnStop) {
    vaultora::webserver::HttpServer server;
    ASSERT_TRUE(server.start());
    auto first = std::make_unique<RawClient>(server.port());
    auto second = std::make_unique<RawClient>(server.port());
    EXPECT_TRUE(vaultora::test::web::waitUntil(
        [&server] { return server.numberOfHTTPConnections() == 2; }));

    first.reset();
    EXPECT_TRUE(vaultora::test::web::waitUntil(
        [&server] { return server.numberOfHTTPConnections() == 1; }));

    server.stop();
    EXPECT_EQ(server.numberOfHTTPConnections(), 0);
    runClient([&second] { EXPECT_TRUE(second->closedByPeer()); });
}

} // namespace
