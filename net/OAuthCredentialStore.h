// The OAuth credentials a request is signed with, by credential name: consumer key and secret,
// signature method and, while an account is linked, the access token and its secret.
#pragma once

#include <QHash>
#include <QString>

namespace vaultora::net {

class OAuthCredentialStore final {
public:
    static inline const QString ConsumerKey = QStringLiteral("kQXOAuthCredentialConsumerKey");
    static inline const QString ConsumerSecret = QStringLiteral("kQXOAuthCredentialConsumerSecret");
    static inline const QString SignatureMethod = QStringLiteral("kQXOAuthSignatureMethod");
    static inline const QString AccessToken = QStringLiteral("kQXOAuthCredentialAccessToken");
    static inline const QString AccessTokenSecret =
        QStringLiteral("kQXOAuthCredentialAccessTokenSecret");

    OAuthCredentialStore(const QString& consumerKey, const QString& consumerSecret,
                         const QString& signatureMethod);

    // A null text when the credential is absent.
    [[nodiscard]] QString credential(const QString& name) const;
    [[nodiscard]] bool hasCredential(const QString& name) const;
    void setCredential(const QString& name, const QString& value);
    void removeCredential(const QString& name);

private:
    QHash<QString, QString> m_credentials;
};

} // namespace vaultora::net
