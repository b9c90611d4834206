// Credentials that a server accepted, kept for the life of the process so that later requests
// to the same server send them at once. Shared between requests on any thread.
#pragma once

#include "kdb/SecureBytes.h"

#include <QString>
#include <QUrl>
#include <map>
#include <mutex>
#include <optional>

namespace vaultora::net {

struct HttpCredentials {
    QString user;
    kdb::SecureBytes password;
};

class HttpCredentialStore final {
public:
    static HttpCredentialStore& shared();

    [[nodiscard]] std::optional<HttpCredentials> credentialsFor(const QUrl& url) const;
    void store(const QUrl& url, HttpCredentials credentials);
    void remove(const QUrl& url);
    void removeAll();

private:
    mutable std::mutex m_mutex;
    std::map<QString, HttpCredentials> m_credentials;
};

} // namespace vaultora::net
