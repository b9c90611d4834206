#include "net/OAuthCredentialStore.h"

namespace vaultora::net {

OAuthCredentialStore::OAuthCredentialStore(const QString& consumerKey,
                                           const QString& consumerSecret,
                                           const QString& signatureMethod) {
    m_credentials.insert(ConsumerKey, consumerKey);
    m_credentials.insert(ConsumerSecret, consumerSecret);
    m_credentials.insert(SignatureMethod, signatureMethod);
}

QString OAuthCredentialStore::credential(const QString& name) const {
    return m_credentials.value(name);
}

bool OAuthCredentialStore::hasCredential(const QString& name) const {
    return m_credentials.contains(name);
}

void OAuthCredentialStore::setCredential(const QString& name, const QString& value) {
    m_credentials.insert(name, value);
}

void OAuthCredentialStore::removeCredential(const QString& name) {
    m_credentials.remove(name);
}

} // namespace vaultora::net
