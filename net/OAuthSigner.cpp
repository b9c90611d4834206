#include "net/OAuthSigner.h"

#include "net/OAuthCredentialStore.h"

#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <cstring>
#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace vaultora::net {
namespace {

const QString HmacSha1 = QStringLiteral("HMAC-SHA1");
const QString Plaintext = QStringLiteral("PLAINTEXT");

QString encodeExcept(const QString& text, const char* unreserved) {
    static const char hex[] = "0123456789ABCDEF";
    QString encoded;
    const QByteArray bytes = text.toUtf8();
    encoded.reserve(bytes.size() * 3);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        const bool kept = (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z') ||
                          (value >= '0' && value <= '9') ||
                          (value != 0 && std::strchr(unreserved, value) != nullptr);
        if (kept) {
            encoded.append(QChar(value));
        } else {
            encoded.append(QChar('%'));
            encoded.append(QChar(hex[value >> 4]));
            encoded.append(QChar(hex[value & 0x0f]));
        }
    }
    return encoded;
}

QByteArray hmacSha1(const QByteArray& key, const QByteArray& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha1(), key.constData(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(message.constData()),
         static_cast<std::size_t>(message.size()), digest, &length);
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length));
}

// RFC 5849 section 3.4.1.2: the base string URI has no query; an empty path is "/".
QString baseStringUrl(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (parsed.path(QUrl::FullyEncoded).isEmpty() && !parsed.hasQuery())
        return url + QLatin1Char('/');
    return url;
}

} // namespace

OAuthError::OAuthError(const QString& name, const QString& reason)
    : std::invalid_argument((name + QStringLiteral(": ") + reason).toStdString()), m_name(name),
      m_reason(reason) {}

QString OAuthSigner::percentEncode(const QString& text) {
    return encodeExcept(text, "-._~");
}

QString OAuthSigner::escapePath(const QString& path) {
    return encodeExcept(path, "-._/");
}

QString OAuthSigner::normalizedParameters(OAuthParameters parameters) {
    std::sort(parameters.begin(), parameters.end(),
              [](const OAuthParameter& left, const OAuthParameter& right) {
                  if (left.first != right.first)
                      return left.first < right.first;
                  return left.second < right.second;
              });
    QStringList pairs;
    pairs.reserve(parameters.size());
    for (const OAuthParameter& parameter : parameters)
        pairs.append(percentEncode(parameter.first) + QLatin1Char('=') +
                     percentEncode(parameter.second));
    return pairs.join(QLatin1Char('&'));
}

QString OAuthSigner::signatureBaseString(const QString& method, const QString& url,
                                         const OAuthParameters& parameters) {
    return method + QLatin1Char('&') + percentEncode(baseStringUrl(url)) + QLatin1Char('&') +
           percentEncode(normalizedParameters(parameters));
}

QString OAuthSigner::signature(const QString& signatureMethod, const QString& baseString,
                               const QString& consumerSecret, const QString& tokenSecret) {
    const QString key =
        percentEncode(consumerSecret) + QLatin1Char('&') + percentEncode(tokenSecret);
    if (signatureMethod == HmacSha1)
        return QString::fromLatin1(hmacSha1(key.toUtf8(), baseString.toUtf8()).toBase64());
    if (signatureMethod == Plaintext)
        return key;
    throw OAuthError(
        QStringLiteral("Unsupported Signature Method"),
        QStringLiteral("The signature method \"%1\" is not currently support by QXOAuthConnection")
            .arg(signatureMethod));
}

OAuthParameters OAuthSigner::oauthParameters(const OAuthCredentialStore& store,
                                             const QDateTime& now, const QString& nonce) {
    using Store = OAuthCredentialStore;
    OAuthParameters parameters;
    parameters.append({QStringLiteral("oauth_consumer_key"), store.credential(Store::ConsumerKey)});
    if (store.hasCredential(Store::AccessToken))
        parameters.append({QStringLiteral("oauth_token"), store.credential(Store::AccessToken)});
    parameters.append(
        {QStringLiteral("oauth_signature_method"), store.credential(Store::SignatureMethod)});
    parameters.append({QStringLiteral("oauth_timestamp"), QString::number(now.toSecsSinceEpoch())});
    parameters.append({QStringLiteral("oauth_nonce"), nonce});
    parameters.append({QStringLiteral("oauth_version"), QStringLiteral("1.0")});
    return parameters;
}

OAuthSignedRequest OAuthSigner::sign(const QString& method, const QString& url,
                                     const OAuthParameters& parameters,
                                     const QString& signatureMethod, const QString& consumerSecret,
                                     const QString& tokenSecret) {
    const bool isGet = method == QLatin1String("GET");
    if (!isGet && method != QLatin1String("POST"))
        throw OAuthError(
            QStringLiteral("UnhandledHTTPMethodException"),
            QStringLiteral("The requested HTTP method, %1, is not supported").arg(method));

    const QString baseString = signatureBaseString(method, url, parameters);
    const QString parameterString =
        normalizedParameters(parameters) + QStringLiteral("&oauth_signature=") +
        percentEncode(signature(signatureMethod, baseString, consumerSecret, tokenSecret));

    OAuthSignedRequest request;
    request.method = method.toLatin1();
    if (isGet) {
        request.url = (url + QLatin1Char('?') + parameterString).toUtf8();
    } else {
        request.url = url.toUtf8();
        request.body = parameterString.toUtf8();
        request.headers.append(
            qMakePair(QByteArray("Content-Type"), QByteArray("application/x-www-form-urlencoded")));
        request.headers.append(
            qMakePair(QByteArray("Content-Length"), QByteArray::number(request.body.size())));
    }
    return request;
}

OAuthSigner::OAuthSigner(Clock clock, NonceSource nonces)
    : m_clock(std::move(clock)), m_nonces(std::move(nonces)) {
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };
    if (!m_nonces)
        m_nonces = [] { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); };
}

OAuthSignedRequest OAuthSigner::signRequest(const OAuthCredentialStore& store,
                                            const QString& method, const QString& url,
                                            const OAuthParameters& parameters) const {
    using Store = OAuthCredentialStore;
    OAuthParameters all = oauthParameters(store, m_clock(), m_nonces());
    all.append(parameters);
    return sign(method, url, all, store.credential(Store::SignatureMethod),
                store.credential(Store::ConsumerSecret),
                store.credential(Store::AccessTokenSecret));
}

} // namespace vaultora::net
