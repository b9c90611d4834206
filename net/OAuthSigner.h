// OAuth 1.0 request signing (RFC 5849): the percent-encoding of section 3.6, the signature base
// string of section 3.4.1 and the HMAC-SHA1 and PLAINTEXT methods of sections 3.4.2 and 3.4.4.
// The parameters travel in the query of a GET or in the form body of a POST.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <stdexcept>

namespace vaultora::net {

class OAuthCredentialStore;

using OAuthParameter = QPair<QString, QString>;
using OAuthParameters = QList<OAuthParameter>;

// A request refused before anything is sent: a signature method or HTTP method that the
// signer does not handle.
class OAuthError final : public std::invalid_argument {
public:
    OAuthError(const QString& name, const QString& reason);
    [[nodiscard]] const QString& name() const { return m_name; }
    [[nodiscard]] const QString& reason() const { return m_reason; }

private:
    QString m_name;
    QString m_reason;
};

struct OAuthSignedRequest {
    QByteArray method;
    // The absolute URL, with the parameters as query for a GET.
    QByteArray url;
    // The form body of a POST; empty for a GET.
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
};

class OAuthSigner final {
public:
    // Fresh values for each request; tests give fixed ones.
    using Clock = std::function<QDateTime()>;
    using NonceSource = std::function<QString()>;

    // UTF-8 bytes, everything but ALPHA, DIGIT, "-", ".", "_" and "~" as %XX (upper-case hex).
    [[nodiscard]] static QString percentEncode(const QString& text);
    // A URL path: as percentEncode, but "/" stays and "~" is encoded as well.
    [[nodiscard]] static QString escapePath(const QString& path);

    // Sorted by name, then value; each pair encoded as name=value and joined with "&".
    [[nodiscard]] static QString normalizedParameters(OAuthParameters parameters);
    // METHOD&encoded-URL&encoded-parameters. A URL with neither path nor query gets a "/".
    [[nodiscard]] static QString signatureBaseString(const QString& method, const QString& url,
                                                     const OAuthParameters& parameters);
    // The signature of the base string with the key encoded(consumer secret)&encoded(token
    // secret), Base64 for HMAC-SHA1; the key itself for PLAINTEXT.
    [[nodiscard]] static QString signature(const QString& signatureMethod,
                                           const QString& baseString, const QString& consumerSecret,
                                           const QString& tokenSecret);

    // The store's OAuth parameters in the order the service expects: consumer key, token (when
    // linked), signature method, timestamp, nonce, version.
    [[nodiscard]] static OAuthParameters
    oauthParameters(const OAuthCredentialStore& store, const QDateTime& now, const QString& nonce);

    // Signs the URL and the given parameters (OAuth ones included) and lays them out for the
    // method, GET or POST.
    [[nodiscard]] static OAuthSignedRequest
    sign(const QString& method, const QString& url, const OAuthParameters& parameters,
         const QString& signatureMethod, const QString& consumerSecret, const QString& tokenSecret);

    explicit OAuthSigner(Clock clock = {}, NonceSource nonces = {});

    // The store's OAuth parameters followed by the call's own, signed with the store's secrets.
    [[nodiscard]] OAuthSignedRequest signRequest(const OAuthCredentialStore& store,
                                                 const QString& method, const QString& url,
                                                 const OAuthParameters& parameters) const;

private:
    Clock m_clock;
    NonceSource m_nonces;
};

} // namespace vaultora::net
