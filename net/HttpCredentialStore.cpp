#include "net/HttpCredentialStore.h"

#include "net/HttpServerKey.h"

namespace vaultora::net {

HttpCredentialStore& HttpCredentialStore::shared() {
    static HttpCredentialStore store;
    return store;
}

std::optional<HttpCredentials> HttpCredentialStore::credentialsFor(const QUrl& url) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_credentials.find(httpServerKey(url));
    if (found == m_credentials.end())
        return std::nullopt;
    return found->second;
}

void HttpCredentialStore::store(const QUrl& url, HttpCredentials credentials) {
    const std::lock_guard lock(m_mutex);
    m_credentials.insert_or_assign(httpServerKey(url), std::move(credentials));
}

void HttpCredentialStore::remove(const QUrl& url) {
    const std::lock_guard lock(m_mutex);
    m_credentials.erase(httpServerKey(url));
}

void HttpCredentialStore::removeAll() {
    const std::lock_guard lock(m_mutex);
    m_credentials.clear();
}

} // namespace vaultora::net
