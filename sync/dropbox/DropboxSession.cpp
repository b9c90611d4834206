#include "sync/dropbox/DropboxSession.h"

#include <QSettings>
#include <QVariantMap>

namespace vaultora::sync {
namespace {

DropboxSession* sharedInstance = nullptr;

} // namespace

using Store = net::OAuthCredentialStore;

DropboxSession::DropboxSession(const QString& consumerKey, const QString& consumerSecret,
                               DropboxServiceConfiguration configuration,
                               const QString& settingsFile)
    : m_credentialStore(consumerKey, consumerSecret, QStringLiteral("HMAC-SHA1")),
      m_configuration(std::move(configuration)),
      m_settings(settingsFile.isEmpty()
                     ? std::make_unique<QSettings>()
                     : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)) {
    restoreSavedCredentials();
}

DropboxSession::~DropboxSession() {
    if (sharedInstance == this)
        sharedInstance = nullptr;
}

DropboxSession* DropboxSession::sharedSession() {
    return sharedInstance;
}

void DropboxSession::setSharedSession(DropboxSession* session) {
    sharedInstance = session;
}

void DropboxSession::restoreSavedCredentials() {
    if (!m_settings->contains(SavedCredentialsKey))
        return;
    const QVariantMap saved = m_settings->value(SavedCredentialsKey).toMap();
    if (saved.value(Store::ConsumerKey).toString() !=
        m_credentialStore.credential(Store::ConsumerKey)) {
        // A token issued to another consumer can never sign a valid request for this one.
        m_settings->remove(SavedCredentialsKey);
        m_settings->sync();
        return;
    }
    m_credentialStore.setCredential(Store::AccessToken, saved.value(Store::AccessToken).toString());
    m_credentialStore.setCredential(Store::AccessTokenSecret,
                                    saved.value(Store::AccessTokenSecret).toString());
}

bool DropboxSession::isLinked() const {
    return m_credentialStore.hasCredential(Store::AccessToken);
}

void DropboxSession::unlink() {
    m_credentialStore.removeCredential(Store::AccessToken);
    m_credentialStore.removeCredential(Store::AccessTokenSecret);
    m_settings->remove(SavedCredentialsKey);
    m_settings->sync();
}

void DropboxSession::updateAccessToken(const QString& accessToken,
                                       const QString& accessTokenSecret) {
    m_credentialStore.setCredential(Store::AccessToken, accessToken);
    m_credentialStore.setCredential(Store::AccessTokenSecret, accessTokenSecret);
    const QVariantMap saved{{Store::ConsumerKey, m_credentialStore.credential(Store::ConsumerKey)},
                            {Store::AccessToken, accessToken},
                            {Store::AccessTokenSecret, accessTokenSecret}};
    m_settings->setValue(SavedCredentialsKey, saved);
    m_settings->sync();
}

} // namespace vaultora::sync
