// The account link with the service: the consumer credentials, the access token once linked,
// and the saved copy of the token in the user defaults, so the link survives a restart.
#pragma once

#include "sync/DBServiceConfiguration.h"
#include "sync/QXOAuthCredentialConcreteStore.h"

#include <QString>
#include <memory>

class QSettings;

namespace vaultora::sync {

class DBSession;

class DBSessionDelegate {
public:
    virtual ~DBSessionDelegate() = default;
    // A request was refused with status 401: the token is no longer valid.
    virtual void sessionDidReceiveAuthorizationFailure(DBSession& session) = 0;
};

class DBSession final {
public:
    static inline const QString SavedCredentialsKey =
        QStringLiteral("kDBDropboxSavedCredentialsKey");

    // settingsFile empty: the application's user defaults; otherwise an INI file (tests).
    DBSession(const QString& consumerKey, const QString& consumerSecret,
              DBServiceConfiguration configuration = {}, const QString& settingsFile = {});
    ~DBSession();
    DBSession(const DBSession&) = delete;
    DBSession& operator=(const DBSession&) = delete;

    // The session of the process; not owned. nullptr until the launch sets it.
    [[nodiscard]] static DBSession* sharedSession();
    static void setSharedSession(DBSession* session);

    [[nodiscard]] bool isLinked() const;
    // Forgets the token here and in the user defaults.
    void unlink();
    // Keeps the token and writes it to the user defaults at once.
    void updateAccessToken(const QString& accessToken, const QString& accessTokenSecret);

    [[nodiscard]] const QXOAuthCredentialConcreteStore& credentialStore() const {
        return m_credentialStore;
    }
    [[nodiscard]] const DBServiceConfiguration& configuration() const { return m_configuration; }

    [[nodiscard]] DBSessionDelegate* delegate() const { return m_delegate; }
    // Not owned.
    void setDelegate(DBSessionDelegate* delegate) { m_delegate = delegate; }

private:
    void restoreSavedCredentials();

    QXOAuthCredentialConcreteStore m_credentialStore;
    DBServiceConfiguration m_configuration;
    std::unique_ptr<QSettings> m_settings;
    DBSessionDelegate* m_delegate = nullptr;
};

} // namespace vaultora::sync
