// The request's exchange with a server: what goes on the wire, redirects, authentication,
// and the error codes and texts.
#include "tests/net/support/HttpTestHelpers.h"
#include "tests/net/support/TestHttpServer.h"
#include "tests/net/support/TestTlsServer.h"

#include <QRegularExpression>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>

using namespace vaultora::test::http;
using vaultora::net::HttpCredentialStore;
using vaultora::net::HttpRequest;

namespace {

using Headers = std::vector<std::pair<std::string, std::string>>;

void answerOk(const HttpTestRequest&, HttpTestResponder& responder) {
    responder.respond(200, "OK", {}, "database bytes");
}

// A port on 127.0.0.1 where nothing listens.
std::uint16_t closedPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

TEST_F(HttpClientTest, SendsAnHttp11GetWithCompressionAndUserAgent) {
    TestHttpServer server(answerOk);
    const auto request = fetch(server.url("/db.kdbx"));

    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseStatusCode(), 200);
    EXPECT_EQ(request->responseStatusMessage(), QStringLiteral("HTTP/1.1 200 OK"));
    EXPECT_EQ(bodyOf(*request), "database bytes");
    EXPECT_EQ(request->contentLength(), 14u);
    EXPECT_EQ(request->responseHeaders().value(QStringLiteral("Content-Length")),
              QStringLiteral("14"));

    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].target, "/db.kdbx");
    EXPECT_EQ(seen[0].version, "HTTP/1.1");
    EXPECT_EQ(seen[0].header("Accept-Encoding"), "gzip");
    EXPECT_FALSE(seen[0].hasHeader("Authorization"));
    // Name, version, then model, system name and version, and locale in brackets.
    const QRegularExpression format(
        QStringLiteral("^Vaultora 1\\.0 \\([^;()]+; [^;()]+ [^;()]+; [^;()]+\\)$"));
    EXPECT_TRUE(format.match(QString::fromStdString(seen[0].header("User-Agent"))).hasMatch())
        << seen[0].header("User-Agent");
}

TEST_F(HttpClientTest, ErrorPageCompletesWithoutErrorAndKeepsTheBody) {
    TestHttpServer server([](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(404, "Not Found", {{"Content-Type", "text/html"}}, "<h1>gone</h1>");
    });
    const auto request = fetch(server.url("/missing.kdbx"));
    EXPECT_FALSE(request->error());
    EXPECT_TRUE(request->isComplete());
    EXPECT_EQ(request->responseStatusCode(), 404);
    EXPECT_EQ(bodyOf(*request), "<h1>gone</h1>");
}

TEST_F(HttpClientTest, TextIsLatin1UnlessTheContentTypeNamesACharset) {
    const std::string text = "caf\xc3\xa9";
    TestHttpServer server([&](const HttpTestRequest& request, HttpTestResponder& responder) {
        Headers headers;
        if (request.target == "/utf8")
            headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
        responder.respond(200, "OK", headers, text);
    });
    EXPECT_EQ(fetch(server.url("/utf8"))->responseString(), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(fetch(server.url("/plain"))->responseString(), QStringLiteral("caf\u00c3\u00a9"));
}

// Redirects: /hop/N answers with a redirect to /hop/N-1 until /hop/0 answers the file.
TestHttpServer::Handler redirectChain(int status) {
    return [status](const HttpTestRequest& request, HttpTestResponder& responder) {
        const int left = std::stoi(request.target.substr(5));
        if (left == 0) {
            responder.respond(200, "OK", {}, "end of chain");
            return;
        }
        responder.respond(status, "Moved", {{"Location", "/hop/" + std::to_string(left - 1)}},
                          "redirect page");
    };
}

TEST_F(HttpClientTest, FollowsFiveRedirectsAndFailsOnTheSixth) {
    TestHttpServer server(redirectChain(302));
    ProgressRecorder progress;
    const auto five = fetch(server.url("/hop/5"), [&](vaultora::net::HttpRequest& request) {
        request.setDownloadProgressDelegate(&progress);
    });
    ASSERT_FALSE(five->error());
    EXPECT_EQ(bodyOf(*five), "end of chain");
    EXPECT_EQ(five->redirectCount(), 5);
    EXPECT_EQ(five->finalURL().path(), QStringLiteral("/hop/0"));
    // The redirect pages are neither reported nor kept.
    EXPECT_EQ(progress.sizes, std::vector<qint64>{12});
    EXPECT_EQ(progress.totalRead(), 12);

    const auto six = fetch(server.url("/hop/6"));
    ASSERT_TRUE(six->error());
    EXPECT_EQ(six->error()->domain, QStringLiteral("ASIHTTPRequestErrorDomain"));
    EXPECT_EQ(six->error()->code, 9);
    EXPECT_EQ(six->error()->localizedDescription(),
              QStringLiteral("The request failed because it redirected too many times"));
    // The first chain took six requests; the second stopped at its sixth redirect, so
    // /hop/0 was not asked for again.
    EXPECT_EQ(server.requests().size(), 6u + 6u);
    EXPECT_EQ(server.requests().back().target, "/hop/1");
}

TEST_F(HttpClientTest, NoRedirectIsFollowedWhenRedirectsAreOff) {
    TestHttpServer server(redirectChain(301));
    const auto request = fetch(server.url("/hop/1"),
                               [](vaultora::net::HttpRequest& r) { r.setShouldRedirect(false); });
    ASSERT_FALSE(request->error());
    EXPECT_EQ(request->responseStatusCode(), 301);
    EXPECT_EQ(bodyOf(*request), "redirect page");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HttpClientTest, RedirectsTurnIntoGetExceptTemporaryRedirect) {
    for (const int status : {301, 302, 303, 307}) {
        SCOPED_TRACE(status);
        SetUp();
        TestHttpServer server(
            [status](const HttpTestRequest& request, HttpTestResponder& responder) {
                if (request.target == "/form")
                    responder.respond(status, "Redirect", {{"Location", "result?x=1"}}, "");
                else
                    responder.respond(200, "OK", {}, request.method + ":" + request.body);
            });
        const auto request = fetch(server.url("/form"), [](vaultora::net::HttpRequest& r) {
            r.setRequestMethod(QStringLiteral("POST"));
            r.setPostBody("field=value");
            r.addRequestHeader(QStringLiteral("Accept"),
                               QStringLiteral("application/octet-stream"));
            r.addRequestHeader(QStringLiteral("X-Custom"), QStringLiteral("kept?"));
        });
        ASSERT_FALSE(request->error());
        const auto seen = server.requests();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[1].target, "/result?x=1");
        EXPECT_EQ(seen[1].header("Accept"), "application/octet-stream");
        EXPECT_EQ(seen[1].header("Accept-Encoding"), "gzip");
        if (status == 307) {
            EXPECT_EQ(bodyOf(*request), "POST:field=value");
            EXPECT_EQ(seen[1].header("X-Custom"), "kept?");
        } else {
            EXPECT_EQ(bodyOf(*request), "GET:");
            EXPECT_FALSE(seen[1].hasHeader("X-Custom"));
            EXPECT_FALSE(seen[1].hasHeader("Content-Length"));
        }
    }
}

// Authentication: user "reader", password "s3cret:pass" (a colon inside the password).
const std::string BasicAccepted = "Basic cmVhZGVyOnMzY3JldDpwYXNz";

TestHttpServer::Handler basicProtected() {
    return [](const HttpTestRequest& request, HttpTestResponder& responder) {
        if (request.header("Authorization") == BasicAccepted)
            responder.respond(200, "OK", {}, "secret database");
        else
            responder.respond(401, "Unauthorized", {{"WWW-Authenticate", "Basic realm=\"vault\""}},
                              "log in first");
    };
}

std::string withCredentials(const TestHttpServer& server, const std::string& userInfo,
                            const std::string& path) {
    return "http://" + userInfo + "@127.0.0.1:" + std::to_string(server.port()) + path;
}

TEST_F(HttpClientTest, BasicCredentialsFromTheUrlAnswerTheChallengeAndAreRemembered) {
    TestHttpServer server(basicProtected());
    const auto first = fetch(withCredentials(server, "reader:s3cret%3Apass", "/db.kdbx"));
    ASSERT_FALSE(first->error()) << first->error()->localizedDescription().toStdString();
    EXPECT_EQ(bodyOf(*first), "secret database");
    auto seen = server.requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].hasHeader("Authorization"));
    EXPECT_EQ(seen[1].header("Authorization"), BasicAccepted);

    // Later requests to the same server send the accepted credentials at once.
    const auto second = fetch(server.url("/other.kdbx"));
    ASSERT_FALSE(second->error());
    EXPECT_EQ(bodyOf(*second), "secret database");
    seen = server.requests();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].header("Authorization"), BasicAccepted);
}

TEST_F(HttpClientTest, MissingOrRefusedCredentialsFailWithAuthenticationNeeded) {
    TestHttpServer server(basicProtected());
    const auto none = fetch(server.url("/db.kdbx"));
    ASSERT_TRUE(none->error());
    EXPECT_EQ(none->error()->code, 3);
    EXPECT_EQ(none->error()->localizedDescription(), QStringLiteral("Authentication needed"));
    EXPECT_EQ(server.requests().size(), 1u);

    const auto wrong = fetch(withCredentials(server, "reader:guess", "/db.kdbx"));
    ASSERT_TRUE(wrong->error());
    EXPECT_EQ(wrong->error()->code, 3);
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_FALSE(
        vaultora::net::HttpCredentialStore::shared().credentialsFor(qurl(server.url("/"))));
}

TEST_F(HttpClientTest, RememberedCredentialsThatStopWorkingAreForgotten) {
    TestHttpServer server(basicProtected());
    vaultora::net::HttpCredentialStore::shared().store(
        qurl(server.url("/")),
        {QStringLiteral("reader"), vaultora::kdb::secureBytesFromText("old")});
    const auto request = fetch(server.url("/db.kdbx"));
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 3);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(server.requests()[0].hasHeader("Authorization"));
    EXPECT_FALSE(
        vaultora::net::HttpCredentialStore::shared().credentialsFor(qurl(server.url("/"))));
}

std::string md5Hex(const std::string& text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string result;
    for (unsigned int i = 0; i < length; ++i) {
        result += hex[digest[i] >> 4];
        result += hex[digest[i] & 15];
    }
    return result;
}

std::map<std::string, std::string> digestFields(const std::string& header) {
    std::map<std::string, std::string> fields;
    std::size_t at = header.find(' ');
    while (at != std::string::npos && at < header.size()) {
        while (at < header.size() && (header[at] == ' ' || header[at] == ','))
            ++at;
        const std::size_t equals = header.find('=', at);
        if (equals == std::string::npos)
            break;
        const std::string key = header.substr(at, equals - at);
        std::string value;
        if (header[equals + 1] == '"') {
            const std::size_t close = header.find('"', equals + 2);
            value = header.substr(equals + 2, close - equals - 2);
            at = close + 1;
        } else {
            const std::size_t comma = header.find(',', equals);
            value = header.substr(equals + 1, comma == std::string::npos ? std::string::npos
                                                                         : comma - equals - 1);
            at = comma;
        }
        fields[key] = value;
    }
    return fields;
}

// RFC 2617 section 3.2.2 with qop "auth".
bool digestMatches(const HttpTestRequest& request, const std::string& user,
                   const std::string& password) {
    const std::string header = request.header("Authorization");
    if (header.rfind("Digest ", 0) != 0)
        return false;
    auto fields = digestFields(header);
    const std::string first = md5Hex(user + ":vault:" + password);
    const std::string second = md5Hex(request.method + ":" + fields["uri"]);
    const std::string expected = md5Hex(first + ":" + fields["nonce"] + ":" + fields["nc"] + ":" +
                                        fields["cnonce"] + ":" + fields["qop"] + ":" + second);
    return fields["username"] == user && fields["nonce"] == "n0nce" &&
           fields["response"] == expected;
}

TEST_F(HttpClientTest, DigestCredentialsFromTheUrlAnswerTheChallengeButAreNotRemembered) {
    TestHttpServer server([](const HttpTestRequest& request, HttpTestResponder& responder) {
        if (digestMatches(request, "reader", "pa55"))
            responder.respond(200, "OK", {}, "digest database");
        else
            responder.respond(
                401, "Unauthorized",
                {{"WWW-Authenticate", "Digest realm=\"vault\", qop=\"auth\", nonce=\"n0nce\""}},
                "");
    });
    const auto request = fetch(withCredentials(server, "reader:pa55", "/db.kdbx"));
    ASSERT_FALSE(request->error());
    EXPECT_EQ(bodyOf(*request), "digest database");
    EXPECT_FALSE(
        vaultora::net::HttpCredentialStore::shared().credentialsFor(qurl(server.url("/"))));

    const auto wrong = fetch(withCredentials(server, "reader:nope", "/db.kdbx"));
    ASSERT_TRUE(wrong->error());
    EXPECT_EQ(wrong->error()->code, 3);
}

TEST_F(HttpClientTest, CredentialsInTheUrlAreNotSentUnasked) {
    TestHttpServer server(answerOk);
    const auto request = fetch(withCredentials(server, "reader:pa55", "/db.kdbx"));
    ASSERT_FALSE(request->error());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(server.requests()[0].hasHeader("Authorization"));
    EXPECT_EQ(server.requests()[0].target, "/db.kdbx");
}

TEST_F(HttpClientTest, UnusableAddressesFailWithUnableToCreateRequest) {
    for (const char* text :
         {"", "not a url", "ftp://127.0.0.1/db.kdbx", "http:///db.kdbx", "file:///etc/passwd"}) {
        SCOPED_TRACE(text);
        const auto request = fetch(text);
        ASSERT_TRUE(request->error());
        EXPECT_EQ(request->error()->code, 5);
        EXPECT_EQ(request->error()->localizedDescription(),
                  QStringLiteral("Unable to create request (bad url?)"));
        EXPECT_TRUE(request->isComplete());
    }
}

TEST_F(HttpClientTest, RedirectToAnotherSchemeFailsWithUnableToCreateRequest) {
    TestHttpServer server([](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(302, "Found", {{"Location", "file:///etc/passwd"}}, "");
    });
    const auto request = fetch(server.url("/db.kdbx"));
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 5);
}

TEST_F(HttpClientTest, ASecureAddressIsNeverRedirectedToAnInsecureOne) {
    std::atomic<int> plainRequests = 0;
    TestHttpServer plain([&plainRequests](const HttpTestRequest&, HttpTestResponder& responder) {
        ++plainRequests;
        responder.respond(200, "OK", {}, "plain");
    });
    TestTlsServer secure("HTTP/1.1 302 Found\r\nLocation: " + plain.url("/db.kdbx") +
                         "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(secure.isReady());
    const auto request = fetch(secure.url("/db.kdbx"), [](vaultora::net::HttpRequest& r) {
        r.setValidatesSecureCertificate(false);
    });
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code, 5);
    EXPECT_EQ(plainRequests, 0);
}

TEST_F(HttpClientTest, RefusedConnectionFailsWithConnectionFailure) {
    const auto request = fetch("http://127.0.0.1:" + std::to_string(closedPort()) + "/db.kdbx");
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->domain, QStringLiteral("ASIHTTPRequestErrorDomain"));
    EXPECT_EQ(request->error()->code, 1);
    EXPECT_EQ(request->error()->localizedDescription(),
              QStringLiteral("A connection failure occurred"));
    EXPECT_FALSE(request->error()->underlyingError().isEmpty());
}

TEST_F(HttpClientTest, AnAnswerLongerThanTheMaximumIsAConnectionFailure) {
    TestHttpServer server([](const HttpTestRequest&, HttpTestResponder& responder) {
        responder.respond(200, "OK", {}, std::string(2000, 'a'));
    });
    HttpRequest longer(QUrl(QString::fromStdString(server.url("/long"))));
    longer.setMaximumResponseLength(1000);
    longer.startSynchronous();
    ASSERT_TRUE(longer.error());
    EXPECT_EQ(longer.error()->code, 1);

    HttpRequest exact(QUrl(QString::fromStdString(server.url("/exact"))));
    exact.setMaximumResponseLength(2000);
    exact.startSynchronous();
    EXPECT_FALSE(exact.error());
    EXPECT_EQ(exact.responseData().size(), 2000);
}

TEST_F(HttpClientTest, ARequestRunsOnlyOnce) {
    TestHttpServer server(answerOk);
    const auto request = fetch(server.url("/db.kdbx"));
    request->startSynchronous();
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_FALSE(request->error());
}

} // namespace
