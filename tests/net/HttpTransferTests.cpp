// The transfer itself: inactivity time-out, cancellation, gzip bodies, progress reports,
// cookies, connection reuse, proxies and certificate checks.
#include "tests/net/support/HttpTestHelpers.h"
#include "tests/net/support/TestHttpServer.h"
#include "tests/net/support/TestTlsServer.h"

#include <QBuffer>
#include <QTimer>
#include <zlib.h>

using namespace vaultora::test::http;
using vaultora::net::HttpRequest;
using namespace std::chrono_literals;

namespace {

using Headers = std::vector<std::pair<std::string, std::string>>;

// Sends the headers and then one byte of "trickle!" per step.
TestHttpServer::Handler trickle(std::chrono::milliseconds step) {
    return [step](const HttpTestRequest&, HttpTestResponder& responder) {
        const std::string body = "trickle!";
        responder.send("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
        for (const char byte : body) {
            if (!responder.pause(step) || !responder.send(std::string(1, byte)))
                return;
        }
    };
}

// Answers the headers and then says nothing more until the server stops.
void stall(const HttpTestRequest&, HttpTestResponder& responder) {
    responder.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst bytes");
    responder.pause(60s);
}

TEST_F(HttpClientTest, SilenceLongerThanTheTimeOutFailsWithTimedOut) {
    TestHttpServer server(stall);
    const auto request = fetch(server.url("/db.kdbx"),
                               [](vaultora::net::HttpRequest& r) { r.setTimeOutSeconds(0.5); });
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 2);
    EXPECT_EQ(request->error()->localizedDescription(), QStringLiteral("The request timed out"));
}

TEST_F(HttpClientTest, AServerThatNeverAnswersTimesOut) {
    TestHttpServer server(
        [](const HttpTestRequest&, HttpTestResponder& responder) { responder.pause(60s); });
    const auto request = fetch(server.url("/db.kdbx"),
                               [](vaultora::net::HttpRequest& r) { r.setTimeOutSeconds(0.5); });
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 2);
}

TEST_F(HttpClientTest, ATrickleLongerThanTheTimeOutDoesNotTimeOut) {
    // Eight pauses of a quarter of the time-out: the whole transfer takes about twice the
    // time-out, yet no single silence reaches it.
    TestHttpServer server(trickle(250ms));
    const auto request = fetch(server.url("/db.kdbx"),
                               [](vaultora::net::HttpRequest& r) { r.setTimeOutSeconds(1.0); });
    ASSERT_FALSE(request->error()) << request->error()->localizedDescription().toStdString();
    EXPECT_EQ(bodyOf(*request), "trickle!");
}

TEST_F(HttpClientTest, CancelFromTheEventLoopEndsTheRequest) {
    TestHttpServer server(trickle(300ms));
    auto request = vaultora::net::HttpRequest::requestWithURL(qurl(server.url("/db.kdbx")));
    // The timer fires while the transfer runs, which shows that the thread's events go on.
    QTimer::singleShot(100ms, [&request] { request->cancel(); });
    request->startSynchronous();
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 4);
    EXPECT_EQ(request->error()->localizedDescription(),
              QStringLiteral("The request was cancelled"));
}

TEST_F(HttpClientTest, GzipBodyIsInflatedWhileProgressCountsTheBytesSent) {
    std::string text;
    for (int line = 0; line < 2000; ++line)
        text += "entry " + std::to_string(line) + " of the database\n";
    const std::string compressed = gzipped(text);
    TestHttpServer server([&](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", {{"Content-Encoding", "gzip"}}, compressed);
    });
    ProgressRecorder progress;
    const auto request = fetch(server.url("/db.kdbx"), [&](vaultora::net::HttpRequest& r) {
        r.setDownloadProgressDelegate(&progress);
    });
    ASSERT_FALSE(request->error());
    EXPECT_EQ(bodyOf(*request), text);
    EXPECT_EQ(request->totalBytesRead(), compressed.size());
    EXPECT_EQ(progress.sizes, std::vector<qint64>{static_cast<qint64>(compressed.size())});
    EXPECT_EQ(progress.totalRead(), static_cast<qint64>(compressed.size()));
}

TEST_F(HttpClientTest, DamagedGzipBodyFailsInsteadOfPassingOnCompressedBytes) {
    std::string compressed = gzipped(std::string(5000, 'x'));
    compressed.resize(compressed.size() / 2);
    TestHttpServer server([&](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", {{"Content-Encoding", "gzip"}}, compressed);
    });
    const auto request = fetch(server.url("/db.kdbx"));
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 1);
}

TEST_F(HttpClientTest, AGzipBombIsCutOffAtTheMaximumInsteadOfInflatedIntoMemory) {
    // 64 MiB of zeros compress to about 64 KB.
    const std::string compressed = gzipped(std::string(std::size_t{64} << 20, '\0'));
    ASSERT_LT(compressed.size(), std::size_t{1} << 20);
    TestHttpServer server([&](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", {{"Content-Encoding", "gzip"}}, compressed);
    });
    const auto inMemory = fetch(server.url("/api"));
    ASSERT_TRUE(inMemory->error());
    EXPECT_EQ(inMemory->error()->code, 1);
    EXPECT_LE(inMemory->responseData().size(), qsizetype{16} << 20);

    // A caller that raises the maximum gets the whole body.
    const auto raised = fetch(server.url("/api"), [](vaultora::net::HttpRequest& r) {
        r.setMaximumResponseLength(qsizetype{64} << 20);
    });
    ASSERT_FALSE(raised->error());
    EXPECT_EQ(raised->responseData().size(), qsizetype{64} << 20);
}

TEST_F(HttpClientTest, ADownloadDestinationTakesTheInflatedBodyInsteadOfMemory) {
    std::string text;
    for (int line = 0; line < 20000; ++line)
        text += "entry " + std::to_string(line) + " of the database\n";
    const std::string compressed = gzipped(text);
    TestHttpServer server([&](const HttpTestRequest& request, HttpTestResponder& responder) {
        if (request.target == "/plain")
            responder.respond(200, "OK", {}, text);
        else
            responder.respond(200, "OK", {{"Content-Encoding", "gzip"}}, compressed);
    });
    for (const std::string path : {"/plain", "/gzip"}) {
        SCOPED_TRACE(path);
        QBuffer destination;
        ASSERT_TRUE(destination.open(QIODevice::WriteOnly));
        const auto request = fetch(server.url(path), [&](vaultora::net::HttpRequest& r) {
            r.setDownloadDestination(&destination);
            r.setMaximumResponseLength(qsizetype{1} << 20);
        });
        ASSERT_FALSE(request->error());
        EXPECT_TRUE(request->responseData().isEmpty());
        EXPECT_EQ(destination.data().toStdString(), text);
    }
}

TEST_F(HttpClientTest, ProgressAnnouncesTheContentLengthAndEveryRead) {
    const std::string body(1 << 20, 'k');
    TestHttpServer server([&](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", {}, body);
    });
    FractionRecorder progress;
    const auto request = fetch(server.url("/db.kdbx"), [&](vaultora::net::HttpRequest& r) {
        r.setDownloadProgressDelegate(&progress);
    });
    ASSERT_FALSE(request->error());
    EXPECT_EQ(progress.sizes, std::vector<qint64>{static_cast<qint64>(body.size())});
    EXPECT_EQ(progress.readsBeforeSize, 0);
    EXPECT_EQ(progress.totalRead(), static_cast<qint64>(body.size()));
    EXPECT_GT(progress.reads.size(), 1u);
    for (const qint64 read : progress.reads)
        EXPECT_GT(read, 0);
    ASSERT_EQ(progress.fractions.size(), progress.reads.size());
    EXPECT_TRUE(std::is_sorted(progress.fractions.begin(), progress.fractions.end()));
    EXPECT_DOUBLE_EQ(progress.fractions.back(), 1.0);
    EXPECT_LT(progress.fractions.front(), 1.0);
}

TEST_F(HttpClientTest, ProgressWithoutContentLengthAnnouncesOneAndCountsOnePerRead) {
    // The body ends when the server closes the connection.
    TestHttpServer server([](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        for (int part = 0; part < 3; ++part) {
            responder.send(std::string(1000, 'p'));
            responder.pause(50ms);
        }
        responder.closeAfterward();
    });
    ProgressRecorder progress;
    const auto request = fetch(server.url("/db.kdbx"), [&](vaultora::net::HttpRequest& r) {
        r.setDownloadProgressDelegate(&progress);
    });
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseData().size(), 3000);
    EXPECT_EQ(request->contentLength(), 0u);
    EXPECT_EQ(progress.sizes, std::vector<qint64>{1});
    ASSERT_FALSE(progress.reads.empty());
    for (const qint64 read : progress.reads)
        EXPECT_EQ(read, 1);
}

TEST_F(HttpClientTest, CookiesAreKeptForTheProcessAndSentAfterARedirect) {
    TestHttpServer server([](const HttpTestRequest& request, HttpTestResponder& responder) {
        if (request.target == "/login")
            responder.respond(302, "Found",
                              {{"Set-Cookie", "session=abc123; Path=/"}, {"Location", "/db.kdbx"}},
                              "");
        else
            responder.respond(200, "OK", {}, request.header("Cookie"));
    });
    const auto first = fetch(server.url("/login"));
    ASSERT_FALSE(first->error());
    EXPECT_EQ(bodyOf(*first), "session=abc123");

    const auto later = fetch(server.url("/other"));
    EXPECT_EQ(bodyOf(*later), "session=abc123");
}

TEST_F(HttpClientTest, ConnectionsAreReusedUnlessTheServerSaysOtherwise) {
    Headers answerHeaders;
    TestHttpServer server([&](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", answerHeaders, "body");
    });
    for (int run = 0; run < 3; ++run)
        ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    EXPECT_EQ(server.connectionCount(), 1);

    // A server that allows only a few more requests on a connection is not kept.
    answerHeaders = {{"Keep-Alive", "timeout=30, max=3"}};
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    EXPECT_EQ(server.connectionCount(), 2);

    answerHeaders = {{"Keep-Alive", "timeout=30, max=100"}};
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    EXPECT_EQ(server.connectionCount(), 3);

    answerHeaders = {{"Connection", "close"}};
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    EXPECT_EQ(server.connectionCount(), 4);
}

TEST_F(HttpClientTest, AReusedConnectionThatTheServerDroppedIsRetriedOnce) {
    // The second request on the first connection is read and then dropped unanswered.
    TestHttpServer server([](const HttpTestRequest& request, HttpTestResponder& responder) {
        if (request.connection == 0 && request.indexOnConnection == 1) {
            responder.closeAfterward();
            return;
        }
        responder.respond(200, "OK", {}, "answer " + std::to_string(request.connection));
    });
    ASSERT_FALSE(fetch(server.url("/db.kdbx"))->error());
    const auto retried = fetch(server.url("/db.kdbx"));
    ASSERT_FALSE(retried->error()) << retried->error()->underlyingError().toStdString();
    EXPECT_EQ(bodyOf(*retried), "answer 1");
    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(HttpClientTest, ProxyFromTheEnvironmentCarriesTheRequest) {
    TestHttpServer proxy([](const HttpTestRequest& request, HttpTestResponder& responder) {
        responder.respond(200, "OK", {}, "via proxy " + request.target);
    });
    qputenv("http_proxy", QByteArray::fromStdString(proxy.url("")));
    // The name is never looked up: the proxy is asked for it.
    const auto request = fetch("http://vaultora-proxied.invalid/db.kdbx");
    qunsetenv("http_proxy");
    ASSERT_FALSE(request->error()) << request->error()->underlyingError().toStdString();
    EXPECT_EQ(bodyOf(*request), "via proxy http://vaultora-proxied.invalid/db.kdbx");
}

TEST_F(HttpClientTest, SelfSignedCertificateFailsWithTheSslText) {
    TestTlsServer server;
    ASSERT_TRUE(server.isReady());
    const auto request = fetch(server.url("/db.kdbx"));
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 1);
    EXPECT_EQ(request->error()->localizedDescription(),
              QStringLiteral("A connection failure occurred: SSL problem (Possible causes may "
                             "include a bad/expired/self-signed certificate, clock set to wrong "
                             "date)"));
    EXPECT_FALSE(request->error()->underlyingError().isEmpty());

    const auto unchecked = fetch(server.url("/db.kdbx"), [](vaultora::net::HttpRequest& r) {
        r.setValidatesSecureCertificate(false);
    });
    ASSERT_FALSE(unchecked->error()) << unchecked->error()->underlyingError().toStdString();
    EXPECT_EQ(bodyOf(*unchecked), "secure");
}

// The default inactivity time of ten seconds, with a server that stalls after its headers.
TEST_F(HttpClientTest, SlowStalledServerFailsWithTheDefaultTimeOut) {
    TestHttpServer server(stall);
    const auto request = fetch(server.url("/db.kdbx"));
    EXPECT_EQ(request->timeOutSeconds(), 10.0);
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 2);
}

} // namespace
