#include "sync/QXOAuthCredentialConcreteStore.h"

namespace vaultora::sync {

QXOAuthCredentialConcreteStore::QXOAuthCredentialConcreteStore(const QString& consumerKey,
                                                               const QString& consumerSecret,
                                                               const QString& signatureMethod) {
    m_credentials.insert(ConsumerKey, consumerKey);
    m_credentials.insert(ConsumerSecret, consumerSecret);
    m_credentials.insert(SignatureMethod, signatureMethod);
}

QString QXOAuthCredentialConcreteStore::credential(const QString& name) const {
    return m_credentials.value(name);
}

bool QXOAuthCredentialConcreteStore::hasCredential(const QString& name) const {
    return m_credentials.contains(name);
}

void QXOAuthCredentialConcreteStore::setCredential(const QString& name, const QString& value) {
    m_credentials.insert(name, value);
}

void QXOAuthCredentialConcreteStore::removeCredential(const QString& name) {
    m_credentials.remove(name);
}

} // namespace vaultora::sync
