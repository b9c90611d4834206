// The account link with the service: the consumer credentials, the access token once linked,
// and the saved copy of the token in the user defaults, so the link survives a restart.
#pragma once

#include "net/OAuthCredentialStore.h"
#include "sync/dropbox/DropboxServiceConfiguration.h"

#include <QString>
#include <memory>

class QSettings;

namespace vaultora::sync {

class DropboxSession;

class DropboxSessionDelegate {
public:
    virtual ~DropboxSessionDelegate() = default;
    // A request was refused with status 401: the token is no longer valid.
    virtual void sessionDidReceiveAuthorizationFailure(DropboxSession& session) = 0;
};

class DropboxSession final {
public:
    static inline const QString SavedCredentialsKey =
        QStringLiteral("kDBDropboxSavedCredentialsKey");

    // settingsFile empty: the application's user defaults; otherwise an INI file (tests).
    DropboxSession(const QString& consumerKey, const QString& consumerSecret,
                   DropboxServiceConfiguration configuration = {},
                   const QString& settingsFile = {});
    ~DropboxSession();
    DropboxSession(const DropboxSession&) = delete;
    DropboxSession& operator=(const DropboxSession&) = delete;

    // The session of the process; not owned. nullptr until the launch sets it.
    [[nodiscard]] static DropboxSession* sharedSession();
    static void setSharedSession(DropboxSession* session);

    [[nodiscard]] bool isLinked() const;
    // Forgets the token here and in the user defaults.
    void unlink();
    // Keeps the token and writes it to the user defaults at once.
    void updateAccessToken(const QString& accessToken, const QString& accessTokenSecret);

    [[nodiscard]] const net::OAuthCredentialStore& credentialStore() const {
        return m_credentialStore;
    }
    [[nodiscard]] const DropboxServiceConfiguration& configuration() const {
        return m_configuration;
    }

    [[nodiscard]] DropboxSessionDelegate* delegate() const { return m_delegate; }
    // Not owned.
    void setDelegate(DropboxSessionDelegate* delegate) { m_delegate = delegate; }

private:
    void restoreSavedCredentials();

    net::OAuthCredentialStore m_credentialStore;
    DropboxServiceConfiguration m_configuration;
    std::unique_ptr<QSettings> m_settings;
    DropboxSessionDelegate* m_delegate = nullptr;
};

} // namespace vaultora::sync
