#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace vaultora::webserver {

// The password of a user, or nothing for an unknown user.
using PasswordLookup = std::function<std::optional<QString>(const QString& user)>;

// Challenges and checks of HTTP access authentication (RFC 2617): Basic, and Digest with
// MD5 and qop "auth".
[[nodiscard]] QByteArray basicChallenge(const QString& realm);
[[nodiscard]] QByteArray digestChallenge(const QString& realm, const QByteArray& nonce);
[[nodiscard]] bool verifyBasicAuthorization(const QByteArray& authorization,
                                            const PasswordLookup& passwordForUser);
// The nonce is the one last handed out by this connection; an answer to any other is refused.
[[nodiscard]] bool verifyDigestAuthorization(const QByteArray& authorization,
                                             const QByteArray& method, const QString& realm,
                                             const QByteArray& nonce,
                                             const PasswordLookup& passwordForUser);

} // namespace vaultora::webserver
