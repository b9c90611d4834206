#include "sync/DBSession.h"

#include <QSettings>
#include <QVariantMap>

namespace vaultora::sync {
namespace {

DBSession* sharedInstance = nullptr;

} // namespace

using Store = QXOAuthCredentialConcreteStore;

DBSession::DBSession(const QString& consumerKey, const QString& consumerSecret,
                     DBServiceConfiguration configuration, const QString& settingsFile)
    : m_credentialStore(consumerKey, consumerSecret, QStringLiteral("HMAC-SHA1")),
      m_configuration(std::move(configuration)),
      m_settings(settingsFile.isEmpty()
                     ? std::make_unique<QSettings>()
                     : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)) {
    restoreSavedCredentials();
}

DBSession::~DBSession() {
    if (sharedInstance == this)
        sharedInstance = nullptr;
}

DBSession* DBSession::sharedSession() {
    return sharedInstance;
}

void DBSession::setSharedSession(DBSession* session) {
    sharedInstance = session;
}

void DBSession::restoreSavedCredentials() {
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

bool DBSession::isLinked() const {
    return m_credentialStore.hasCredential(Store::AccessToken);
}

void DBSession::unlink() {
    m_credentialStore.removeCredential(Store::AccessToken);
    m_credentialStore.removeCredential(Store::AccessTokenSecret);
    m_settings->remove(SavedCredentialsKey);
    m_settings->sync();
}

void DBSession::updateAccessToken(const QString& accessToken, const QString& accessTokenSecret) {
    m_credentialStore.setCredential(Store::AccessToken, accessToken);
    m_credentialStore.setCredential(Store::AccessTokenSecret, accessTokenSecret);
    const QVariantMap saved{{Store::ConsumerKey, m_credentialStore.credential(Store::ConsumerKey)},
                            {Store::AccessToken, accessToken},
                            {Store::AccessTokenSecret, accessTokenSecret}};
    m_settings->setValue(SavedCredentialsKey, saved);
    m_settings->sync();
}

} // namespace vaultora::sync
