// OAuth 1.0 signing against the published worked examples, and the layout of signed requests.
#include "net/OAuthCredentialStore.h"
#include "net/OAuthSigner.h"
#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxSession.h"

#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

using namespace vaultora::sync;
using namespace vaultora::net;

namespace {

vaultora::net::OAuthParameters photoRequest(const QString& timestamp, const QString& nonce) {
    return {{"file", "vacation.jpg"},
            {"size", "original"},
            {"oauth_consumer_key", "dpf43f3p2l4k3l03"},
            {"oauth_token", "nnch734d00sl2jdk"},
            {"oauth_signature_method", "HMAC-SHA1"},
            {"oauth_timestamp", timestamp},
            {"oauth_nonce", nonce}};
}

} // namespace

TEST(OAuthSigning, MatchesRfc5849WorkedExample) {
    const QString base = vaultora::net::OAuthSigner::signatureBaseString(
        "GET", "http://photos.example.net/photos", photoRequest("137131202", "chapoH"));
    EXPECT_EQ(vaultora::net::OAuthSigner::signature("HMAC-SHA1", base, "kd94hf93k423kf44",
                                                    "pfkkdhi9sl3r4s00"),
              "MdpQcU8iPSUjWoN/UDMsK2sui9I=");
}

TEST(OAuthSigning, MatchesOAuthCore10AppendixA5) {
    vaultora::net::OAuthParameters parameters = photoRequest("1191242096", "kllo9940pd9333jh");
    parameters.append(vaultora::net::OAuthParameter{"oauth_version", "1.0"});
    const QString base = vaultora::net::OAuthSigner::signatureBaseString(
        "GET", "http://photos.example.net/photos", parameters);
    EXPECT_EQ(base, "GET&http%3A%2F%2Fphotos.example.net%2Fphotos&file%3Dvacation.jpg%26oauth_"
                    "consumer_key%3Ddpf43f3p2l4k3l03%26oauth_nonce%3Dkllo9940pd9333jh%26oauth_"
                    "signature_method%3DHMAC-SHA1%26oauth_timestamp%3D1191242096%26oauth_token%"
                    "3Dnnch734d00sl2jdk%26oauth_version%3D1.0%26size%3Doriginal");
    EXPECT_EQ(vaultora::net::OAuthSigner::signature("HMAC-SHA1", base, "kd94hf93k423kf44",
                                                    "pfkkdhi9sl3r4s00"),
              "tR3+Ty81lMeYAr/Fid0kMTYa/WM=");
    // The signed GET carries the signature percent-encoded after the sorted parameters.
    const vaultora::net::OAuthSignedRequest signed_ =
        vaultora::net::OAuthSigner::sign("GET", "http://photos.example.net/photos", parameters,
                                         "HMAC-SHA1", "kd94hf93k423kf44", "pfkkdhi9sl3r4s00");
    EXPECT_TRUE(signed_.url.startsWith("http://photos.example.net/photos?file=vacation.jpg&"));
    EXPECT_TRUE(signed_.url.endsWith(
        "&size=original&oauth_signature=tR3%2BTy81lMeYAr%2FFid0kMTYa%2FWM%3D"));
    EXPECT_TRUE(signed_.body.isEmpty());
}

TEST(OAuthSigning, PercentEncodingKeepsOnlyUnreservedCharacters) {
    EXPECT_EQ(vaultora::net::OAuthSigner::percentEncode("Ladies + Gentlemen"),
              "Ladies%20%2B%20Gentlemen");
    EXPECT_EQ(vaultora::net::OAuthSigner::percentEncode("Dogs, Cats & Mice"),
              "Dogs%2C%20Cats%20%26%20Mice");
    EXPECT_EQ(vaultora::net::OAuthSigner::percentEncode(":/?=,!$&'()*+;[]@#%"),
              "%3A%2F%3F%3D%2C%21%24%26%27%28%29%2A%2B%3B%5B%5D%40%23%25");
    EXPECT_EQ(vaultora::net::OAuthSigner::percentEncode("a-b._~Z9"), "a-b._~Z9");
    EXPECT_EQ(vaultora::net::OAuthSigner::percentEncode(QString::fromUtf8("\u2603")), "%E2%98%83");
    // A path keeps its slashes but encodes the tilde and everything reserved.
    EXPECT_EQ(vaultora::net::OAuthSigner::escapePath("/My Files/~a&b?.kdb"),
              "/My%20Files/%7Ea%26b%3F.kdb");
}

TEST(OAuthSigning, SortsByNameThenValueAndAppendsSlashToBareHost) {
    EXPECT_EQ(vaultora::net::OAuthSigner::normalizedParameters(
                  {{"b", "2"}, {"a", "z"}, {"a", "y"}, {"c", ""}}),
              "a=y&a=z&b=2&c=");
    EXPECT_TRUE(vaultora::net::OAuthSigner::signatureBaseString("GET", "http://example.org", {})
                    .startsWith("GET&http%3A%2F%2Fexample.org%2F&"));
}

TEST(OAuthSigning, PostCarriesParametersInFormBodyAndPlaintextSignsWithKey) {
    const vaultora::net::OAuthSignedRequest post = vaultora::net::OAuthSigner::sign(
        "POST", "https://h/0/account", {{"email", "a b"}}, "PLAINTEXT", "c&s", "t");
    EXPECT_EQ(post.url, "https://h/0/account");
    EXPECT_EQ(post.body, "email=a%20b&oauth_signature=c%2526s%26t");
    ASSERT_EQ(post.headers.size(), 2);
    EXPECT_EQ(post.headers[0].second, "application/x-www-form-urlencoded");
    EXPECT_EQ(post.headers[1].second, QByteArray::number(post.body.size()));
}

TEST(OAuthSigning, RefusesUnknownMethods) {
    EXPECT_THROW(
        (void)vaultora::net::OAuthSigner::sign("PUT", "http://h/", {}, "HMAC-SHA1", "c", ""),
        vaultora::net::OAuthError);
    try {
        (void)vaultora::net::OAuthSigner::sign("GET", "http://h/", {}, "RSA-SHA1", "c", "");
        FAIL() << "RSA-SHA1 was accepted";
    } catch (const vaultora::net::OAuthError& exception) {
        EXPECT_EQ(exception.name(), "Unsupported Signature Method");
        EXPECT_EQ(
            exception.reason(),
            "The signature method \"RSA-SHA1\" is not currently support by QXOAuthConnection");
    }
}

TEST(OAuthSigning, ClientRequestEncodesPathOnceInUrlAndAgainInBaseString) {
    QTemporaryDir directory;
    DropboxSession session("key", "secret", {}, directory.filePath("settings.ini"));
    session.updateAccessToken("tok", "tsec");
    DropboxClient client(session);
    client.setSigner(
        vaultora::net::OAuthSigner([] { return QDateTime::fromSecsSinceEpoch(1700000000); },
                                   [] { return QStringLiteral("N1"); }));
    const vaultora::net::OAuthSignedRequest request = client.requestWithProtocol(
        "http", "api.example.org", "/metadata/dropbox/My Databases/home 1.kdb", {{"hash", "x y"}});
    const QString url = QString::fromUtf8(request.url);
    EXPECT_TRUE(
        url.startsWith("http://api.example.org/0/metadata/dropbox/My%20Databases/home%201.kdb?"));

    const QUrlQuery query(url.section('?', 1));
    EXPECT_EQ(query.queryItemValue("oauth_consumer_key"), "key");
    EXPECT_EQ(query.queryItemValue("oauth_token"), "tok");
    EXPECT_EQ(query.queryItemValue("oauth_timestamp"), "1700000000");
    EXPECT_EQ(query.queryItemValue("oauth_nonce"), "N1");
    EXPECT_EQ(query.queryItemValue("oauth_version"), "1.0");

    const QString base = vaultora::net::OAuthSigner::signatureBaseString(
        "GET", "http://api.example.org/0/metadata/dropbox/My%20Databases/home%201.kdb",
        vaultora::net::OAuthSigner::oauthParameters(
            session.credentialStore(), QDateTime::fromSecsSinceEpoch(1700000000), "N1") +
            vaultora::net::OAuthParameters{{"hash", "x y"}});
    EXPECT_TRUE(base.contains("%2FMy%2520Databases%2Fhome%25201.kdb&"));
    EXPECT_TRUE(base.contains("hash%3Dx%2520y"));
    EXPECT_EQ(QUrl::fromPercentEncoding(
                  query.queryItemValue("oauth_signature", QUrl::FullyEncoded).toUtf8()),
              vaultora::net::OAuthSigner::signature("HMAC-SHA1", base, "secret", "tsec"));
}

TEST(OAuthSigning, FreshNonceIsUuidAndTokenIsOmittedWhileUnlinked) {
    const vaultora::net::OAuthCredentialStore store("k", "s", "HMAC-SHA1");
    const vaultora::net::OAuthSigner signer;
    const QString first =
        QUrlQuery(QString::fromUtf8(signer.signRequest(store, "GET", "http://h/x", {}).url)
                      .section('?', 1))
            .queryItemValue("oauth_nonce");
    const vaultora::net::OAuthSignedRequest second =
        signer.signRequest(store, "GET", "http://h/x", {});
    EXPECT_FALSE(QUuid::fromString(first).isNull());
    EXPECT_FALSE(second.url.contains(first.toUtf8()));
    EXPECT_FALSE(second.url.contains("oauth_token"));
}
