#include "tests/webserver/support/LogCapture.h"
#include "tests/webserver/support/RawClient.h"
#include "webserver/HttpConnection.h"
#include "webserver/HttpDataResponse.h"
#include "webserver/HttpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using vaultora::test::web::RawClient;
using vaultora::test::web::runClient;

namespace {

QByteArray hundredBytes() {
    QByteArray data;
    for (int index = 0; index < 100; ++index) {
        data.append(static_cast<char>('A' + index % 26));
    }
    return data;
}

QByteArray get(const QByteArray& path, const QByteArray& extraHeaders = {}) {
    return "GET " + path + " HTTP/1.1\r\nHost: localhost\r\n" + extraHeaders + "\r\n";
}

// Answers "/empty" with a body of length 0 and "/protected" only to user "ann".
class ProbeConnection final : public vaultora::webserver::HttpConnection {
public:
    using HttpConnection::HttpConnection;

    bool supportsMethod(const QString& method, const QString& path) override {
        return method == QLatin1String("POST") || HttpConnection::supportsMethod(method, path);
    }
    bool isPasswordProtected(const QString& path) override {
        return path == QLatin1String("/protected");
    }
    bool useDigestAccessAuthentication() override { return false; }
    std::optional<QString> passwordForUser(const QString& user) override {
        return user == QLatin1String("ann") ? std::optional<QString>(QStringLiteral("secret"))
                                            : std::nullopt;
    }
    std::unique_ptr<vaultora::webserver::HttpResponse>
    httpResponseForMethod(const QString& method, const QString& path) override {
        if (path == QLatin1String("/empty")) {
            return std::make_unique<vaultora::webserver::HttpDataResponse>(QByteArray());
        }
        if (path == QLatin1String("/protected")) {
            return std::make_unique<vaultora::webserver::HttpDataResponse>("inside");
        }
        return HttpConnection::httpResponseForMethod(method, path);
    }
};

class HTTPServerProtocol : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_documentRoot = m_root.path() + QStringLiteral("/docs");
        ASSERT_TRUE(QDir().mkpath(m_documentRoot));
        writeFile(m_documentRoot + QStringLiteral("/hundred.bin"), hundredBytes());
        m_server.setDocumentRoot(m_documentRoot);
        m_server.setConnectionClass<ProbeConnection>();
        m_server.setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC); });
        ASSERT_TRUE(m_server.start());
        m_port = m_server.port();
    }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QTemporaryDir m_root;
    QString m_documentRoot;
    vaultora::webserver::HttpServer m_server;
    uint16_t m_port = 0;
};

TEST_F(HTTPServerProtocol, ServesAFileWithDateAndAcceptRangesAsAnAttachment) {
    runClient([this] {
        RawClient client(m_port);
        client.send(get("/hundred.bin"));
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, hundredBytes());
        EXPECT_EQ(response->header("Content-Length"), QByteArray("100"));
        EXPECT_EQ(response->header("Date"), QByteArray("Tue, 05 Mar 2024 07:08:09 GMT"));
        EXPECT_EQ(response->header("Accept-Ranges"), QByteArray("bytes"));
        EXPECT_EQ(response->header("Content-Type"), QByteArray("application/octet-stream"));
        EXPECT_EQ(response->header("X-Content-Type-Options"), QByteArray("nosniff"));
        EXPECT_EQ(response->header("Content-Disposition"), QByteArray("attachment"));
    });
}

TEST_F(HTTPServerProtocol, ServesAHundredHeaderLinesAndClosesOnTheHundredAndFirst) {
    const auto request = [](int lineCount) {
        QByteArray text = "GET /hundred.bin HTTP/1.1\r\n";
        for (int index = 1; index < lineCount; ++index) {
            text += "X-Filler-" + QByteArray::number(index) + ": x\r\n";
        }
        return text + "\r\n";
    };
    runClient([&] {
        RawClient served(m_port);
        served.send(request(100));
        const auto response = served.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);

        RawClient refused(m_port);
        refused.send(request(101));
        EXPECT_TRUE(refused.closedByPeer());
    });
}

TEST_F(HTTPServerProtocol, ClosesOnALineLongerThanTheLimit) {
    runClient([this] {
        // 8190 bytes with the CR LF are read; one more is not.
        const QByteArray prefix = "X-Long: ";
        RawClient fits(m_port);
        fits.send("GET /hundred.bin HTTP/1.1\r\n" + prefix +
                  QByteArray(8190 - 2 - prefix.size(), 'a') + "\r\n\r\n");
        const auto response = fits.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);

        RawClient tooLong(m_port);
        tooLong.send("GET /hundred.bin HTTP/1.1\r\n" + prefix +
                     QByteArray(8191 - 2 - prefix.size(), 'a') + "\r\n\r\n");
        EXPECT_TRUE(tooLong.closedByPeer());
    });
}

TEST_F(HTTPServerProtocol, AnswersOtherVersionsWith505AndKeepsTheConnection) {
    vaultora::test::web::LogCapture log;
    runClient([this] {
        RawClient client(m_port);
        client.send("GET /hundred.bin HTTP/1.0\r\n\r\n");
        const auto refused = client.readResponse();
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 505);
        EXPECT_EQ(refused->header("Content-Length"), QByteArray("0"));
        EXPECT_EQ(refused->header("Accept-Ranges"), QByteArray("bytes"));
        client.send(get("/hundred.bin"));
        const auto served = client.readResponse();
        ASSERT_TRUE(served);
        EXPECT_EQ(served->status, 200);
    });
    EXPECT_TRUE(
        log.contains(QStringLiteral("HTTP Server: Error 505 - Version Not Supported: HTTP/1.0")));
}

TEST_F(HTTPServerProtocol, RefusesBadBodyFramingWith400AndCloses) {
    vaultora::test::web::LogCapture log;
    const QList<QByteArray> requests = {
        "GET /hundred.bin HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc",
        "POST /hundred.bin HTTP/1.1\r\n\r\n",
        "POST /hundred.bin HTTP/1.1\r\nContent-Length: 3x\r\n\r\nabc",
        "POST /hundred.bin HTTP/1.1\r\nContent-Length: -3\r\n\r\nabc",
        "POST /hundred.bin HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd",
        "POST /hundred.bin HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
        "GARBAGE\r\n\r\n",
        "GET /hundred.bin HTTP/1.1\r\nNo colon here\r\n\r\n",
        // A line feed, carriage return or NUL inside a line would pass for a line break to
        // whatever reads the field next.
        "GET /hundred.bin HTTP/1.1\r\nX-Note: a\nContent-Length: 3\r\n\r\n",
        "GET /hundred.bin HTTP/1.1\r\nX-Note: a\rb\r\n\r\n",
        QByteArray("GET /hundred.bin HTTP/1.1\r\nX-Note: a") + '\0' + "b\r\n\r\n",
        "GET /hundred.bin HTTP/1.1\n\r\n",
    };
    runClient([&] {
        for (const QByteArray& request : requests) {
            RawClient client(m_port);
            client.send(request);
            const auto response = client.readResponse();
            ASSERT_TRUE(response) << request.toStdString();
            EXPECT_EQ(response->status, 400) << request.toStdString();
            EXPECT_TRUE(client.closedByPeer()) << request.toStdString();
        }
    });
    EXPECT_TRUE(log.contains(QStringLiteral("HTTP Server: Error 400 - Bad Request")));
}

TEST_F(HTTPServerProtocol, AnswersUnsupportedMethodsWith405AndCloses) {
    vaultora::test::web::LogCapture log;
    runClient([this] {
        RawClient client(m_port);
        client.send("DELETE /hundred.bin HTTP/1.1\r\n\r\n");
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 405);
        EXPECT_TRUE(client.closedByPeer());
    });
    EXPECT_TRUE(
        log.contains(QStringLiteral("HTTP Server: Error 405 - Method Not Allowed: DELETE")));
    EXPECT_TRUE(QFile::exists(m_documentRoot + QStringLiteral("/hundred.bin")));
}

TEST_F(HTTPServerProtocol, AnswersMissingAndEmptyResponsesWith404OnAKeptConnection) {
    runClient([this] {
        RawClient client(m_port);
        for (const QByteArray path : {"/missing.bin", "/empty", "/"}) {
            client.send(get(path));
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            EXPECT_EQ(response->status, 404) << path.toStdString();
        }
        client.send(get("/hundred.bin"));
        const auto served = client.readResponse();
        ASSERT_TRUE(served);
        EXPECT_EQ(served->status, 200);
    });
}

TEST_F(HTTPServerProtocol, ServesSeveralRequestsOnOneConnectionIncludingPipelinedOnes) {
    runClient([this] {
        RawClient client(m_port);
        client.send(get("/hundred.bin"));
        const auto first = client.readResponse();
        ASSERT_TRUE(first);
        client.send("HEAD /hundred.bin HTTP/1.1\r\n\r\n" + get("/hundred.bin") + get("/missing"));
        const auto head = client.readResponse(true);
        const auto second = client.readResponse();
        const auto third = client.readResponse();
        ASSERT_TRUE(head && second && third);
        EXPECT_EQ(head->status, 200);
        EXPECT_EQ(head->header("Content-Length"), QByteArray("100"));
        EXPECT_EQ(second->body, hundredBytes());
        EXPECT_EQ(third->status, 404);
    });
}

TEST_F(HTTPServerProtocol, ClosesAfterTheResponseWhenTheClientAsksTo) {
    runClient([this] {
        RawClient client(m_port);
        client.send(get("/hundred.bin", "Connection: close\r\n"));
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->body, hundredBytes());
        EXPECT_TRUE(client.closedByPeer());
    });
}

TEST_F(HTTPServerProtocol, AnswersSingleRangesWith206) {
    struct Case {
        QByteArray range;
        QByteArray contentRange;
        qsizetype first;
        qsizetype length;
    };
    const QList<Case> cases = {
        {"bytes=0-9", "bytes 0-9/100", 0, 10},
        {"BYTES=90-", "bytes 90-99/100", 90, 10},
        {"bytes=-5", "bytes 95-99/100", 95, 5},
        {"bytes=98-500", "bytes 98-99/100", 98, 2},
    };
    runClient([&] {
        RawClient client(m_port);
        for (const Case& rangeCase : cases) {
            client.send(get("/hundred.bin", "Range: " + rangeCase.range + "\r\n"));
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            EXPECT_EQ(response->status, 206);
            EXPECT_EQ(response->header("Content-Range"), rangeCase.contentRange);
            EXPECT_EQ(response->header("Content-Length"), QByteArray::number(rangeCase.length));
            EXPECT_EQ(response->body, hundredBytes().mid(rangeCase.first, rangeCase.length));
        }
    });
}

TEST_F(HTTPServerProtocol, AnswersSeveralRangesAsMultipartByteranges) {
    runClient([this] {
        RawClient client(m_port);
        client.send(get("/hundred.bin", "Range: bytes=0-9, 20-29,-3\r\n"));
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 206);
        const QByteArray type = response->header("Content-Type").value_or(QByteArray());
        ASSERT_TRUE(type.startsWith("multipart/byteranges; boundary="));
        const QByteArray boundary = type.mid(type.indexOf('=') + 1);
        const QByteArray data = hundredBytes();
        const QByteArray expected =
            "\r\n--" + boundary + "\r\nContent-Range: bytes 0-9/100\r\n\r\n" + data.mid(0, 10) +
            "\r\n--" + boundary + "\r\nContent-Range: bytes 20-29/100\r\n\r\n" + data.mid(20, 10) +
            "\r\n--" + boundary + "\r\nContent-Range: bytes 97-99/100\r\n\r\n" + data.mid(97, 3) +
            "\r\n--" + boundary + "--\r\n";
        EXPECT_EQ(response->body, expected);
        EXPECT_EQ(response->header("Content-Length"), QByteArray::number(expected.size()));
        // The connection stays usable after a multipart body.
        client.send(get("/hundred.bin"));
        const auto next = client.readResponse();
        ASSERT_TRUE(next);
        EXPECT_EQ(next->status, 200);
    });
}

TEST_F(HTTPServerProtocol, IgnoresUnsatisfiableOrMalformedRanges) {
    runClient([this] {
        RawClient client(m_port);
        for (const QByteArray range : {"bytes=100-", "bytes=200-300", "bytes=9-0", "bytes=-0",
                                       "lines=0-9", "bytes=0-9,abc", "bytes"}) {
            client.send(get("/hundred.bin", "Range: " + range + "\r\n"));
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            EXPECT_EQ(response->status, 200) << range.toStdString();
            EXPECT_EQ(response->body, hundredBytes());
        }
    });
}

TEST_F(HTTPServerProtocol, WritesLargeFilesCompletely) {
    QByteArray large(3 * 131072 + 17, '\0');
    for (qsizetype index = 0; index < large.size(); ++index) {
        large[index] = static_cast<char>(index * 7 % 251);
    }
    writeFile(m_documentRoot + QStringLiteral("/large.bin"), large);
    runClient([&] {
        RawClient client(m_port);
        client.send(get("/large.bin") + get("/large.bin", "Range: bytes=131000-262200\r\n"));
        const auto whole = client.readResponse();
        const auto part = client.readResponse();
        ASSERT_TRUE(whole && part);
        EXPECT_EQ(whole->body, large);
        EXPECT_EQ(part->body, large.mid(131000, 262200 - 131000 + 1));
    });
}

TEST_F(HTTPServerProtocol, NeverServesFilesOutsideTheDocumentRoot) {
    writeFile(m_root.path() + QStringLiteral("/secret.txt"), "secret");
    ASSERT_TRUE(QFile::link(m_root.path() + QStringLiteral("/secret.txt"),
                            m_documentRoot + QStringLiteral("/link.txt")));
    runClient([this] {
        RawClient client(m_port);
        for (const QByteArray path :
             {"/../secret.txt", "/%2e%2e/secret.txt", "/%2E%2E%2Fsecret.txt", "//../secret.txt",
              "/link.txt", "/hundred.bin/../../secret.txt"}) {
            client.send(get(path));
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            EXPECT_EQ(response->status, 404) << path.toStdString();
        }
        client.send(get("/sub/../hundred.bin?query=1"));
        const auto inside = client.readResponse();
        ASSERT_TRUE(inside);
        EXPECT_EQ(inside->status, 200);
    });
}

TEST_F(HTTPServerProtocol, ChallengesProtectedPathsAndAcceptsBasicCredentials) {
    runClient([this] {
        RawClient client(m_port);
        client.send(get("/protected"));
        const auto challenged = client.readResponse();
        ASSERT_TRUE(challenged);
        EXPECT_EQ(challenged->status, 401);
        EXPECT_TRUE(challenged->header("WWW-Authenticate").value_or("").startsWith("Basic realm="));
        client.send(get("/protected",
                        "Authorization: Basic " + QByteArray("ann:wrong").toBase64() + "\r\n"));
        const auto wrong = client.readResponse();
        ASSERT_TRUE(wrong);
        EXPECT_EQ(wrong->status, 401);
        client.send(get("/protected",
                        "Authorization: Basic " + QByteArray("ann:secret").toBase64() + "\r\n"));
        const auto accepted = client.readResponse();
        ASSERT_TRUE(accepted);
        EXPECT_EQ(accepted->status, 200);
        EXPECT_EQ(accepted->body, QByteArray("inside"));
    });
}

TEST_F(HTTPServerProtocol, AnswersManyOrOverlappingRangesWithTheWholeFile) {
    QByteArray repeated = "bytes=0-";
    for (int index = 1; index < 2725; ++index) {
        repeated += ",0-";
    }
    QByteArray many = "bytes=0-0";
    for (int index = 2; index < 100; index += 2) {
        many += ',' + QByteArray::number(index) + '-' + QByteArray::number(index);
    }
    runClient([&] {
        RawClient client(m_port);
        for (const QByteArray& range :
             {repeated, QByteArray("bytes=0-50,40-60"), QByteArray("bytes=10-20,-95"), many}) {
            client.send(get("/hundred.bin", "Range: " + range + "\r\n"));
            const auto response = client.readResponse();
            ASSERT_TRUE(response);
            EXPECT_EQ(response->status, 200) << range.left(40).toStdString();
            EXPECT_EQ(response->header("Content-Length"), QByteArray("100"));
            EXPECT_EQ(response->body, hundredBytes());
        }
    });
}

TEST_F(HTTPServerProtocol, ServesATargetInAbsoluteForm) {
    runClient([this] {
        RawClient client(m_port);
        client.send("GET http://localhost/hundred.bin HTTP/1.1\r\nHost: localhost\r\n\r\n");
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, hundredBytes());
        client.send("GET HTTP://localhost:80/sub/../hundred.bin?x=1 HTTP/1.1\r\n\r\n");
        const auto normalised = client.readResponse();
        ASSERT_TRUE(normalised);
        EXPECT_EQ(normalised->body, hundredBytes());
    });
}

TEST_F(HTTPServerProtocol, ListensOnIPv6LoopbackOnTheSamePort) {
    if (!m_server.isListeningOnIPv6()) {
        GTEST_SKIP() << "no IPv6 on this host";
    }
    runClient([this] {
        RawClient client(m_port, RawClient::Family::IPv6);
        ASSERT_TRUE(client.isConnected());
        client.send(get("/hundred.bin"));
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->body, hundredBytes());
    });
}

} // namespace
