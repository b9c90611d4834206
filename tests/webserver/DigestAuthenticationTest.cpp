#include "tests/webserver/support/RawClient.h"
#include "webserver/HttpConnection.h"
#include "webserver/HttpDataResponse.h"
#include "webserver/HttpServer.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class DigestConnection final : public vaultora::webserver::HttpConnection {
public:
    using HttpConnection::HttpConnection;

    bool isPasswordProtected(const QString& /*path*/) override { return true; }
    std::optional<QString> passwordForUser(const QString& user) override {
        return user == QLatin1String("ann") ? std::optional<QString>(QStringLiteral("secret"))
                                            : std::nullopt;
    }
    std::unique_ptr<vaultora::webserver::HttpResponse>
    httpResponseForMethod(const QString& /*method*/, const QString& /*path*/) override {
        return std::make_unique<vaultora::webserver::HttpDataResponse>("inside");
    }
};

QByteArray md5(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

// The client side of RFC 2617 section 3.2.2, written out independently of the server.
QByteArray digestAuthorization(const QByteArray& challenge, const QByteArray& password) {
    const QRegularExpression pattern(QStringLiteral("(realm|nonce)=\"([^\"]*)\""));
    QByteArray realm;
    QByteArray nonce;
    for (const auto& match : pattern.globalMatch(QString::fromLatin1(challenge))) {
        (match.captured(1) == QLatin1String("realm") ? realm : nonce) =
            match.captured(2).toLatin1();
    }
    const QByteArray ha1 = md5("ann:" + realm + ":" + password);
    const QByteArray ha2 = md5("GET:/file");
    const QByteArray response = md5(ha1 + ":" + nonce + ":00000001:0a4f113b:auth:" + ha2);
    return "Authorization: Digest username=\"ann\", realm=\"" + realm + "\", nonce=\"" + nonce +
           "\", uri=\"/file\", qop=auth, nc=00000001, cnonce=\"0a4f113b\", response=\"" + response +
           "\"\r\n";
}

TEST(DigestAuthentication, AcceptsTheAnswerToTheLastChallengeOnly) {
    vaultora::webserver::HttpServer server;
    server.setConnectionClass<DigestConnection>();
    ASSERT_TRUE(server.start());
    vaultora::test::web::runClient([&server] {
        vaultora::test::web::RawClient client(server.port());
        const auto ask = [&client](const QByteArray& authorization) {
            client.send("GET /file HTTP/1.1\r\n" + authorization + "\r\n");
            return client.readResponse();
        };
        const auto challenged = ask({});
        ASSERT_TRUE(challenged);
        EXPECT_EQ(challenged->status, 401);
        const QByteArray challenge = challenged->header("WWW-Authenticate").value_or("");
        ASSERT_TRUE(challenge.startsWith("Digest ")) << challenge.toStdString();

        const auto wrongPassword = ask(digestAuthorization(challenge, "guess"));
        ASSERT_TRUE(wrongPassword);
        EXPECT_EQ(wrongPassword->status, 401);
        // Every refusal hands out a fresh nonce; the answer to the first one is stale now.
        const QByteArray fresh = wrongPassword->header("WWW-Authenticate").value_or("");
        const auto stale = ask(digestAuthorization(challenge, "secret"));
        ASSERT_TRUE(stale);
        EXPECT_EQ(stale->status, 401);

        const QByteArray latest = stale->header("WWW-Authenticate").value_or("");
        EXPECT_NE(latest, fresh);
        const auto accepted = ask(digestAuthorization(latest, "secret"));
        ASSERT_TRUE(accepted);
        EXPECT_EQ(accepted->status, 200);
        EXPECT_EQ(accepted->body, QByteArray("inside"));
    });
}

} // namespace
