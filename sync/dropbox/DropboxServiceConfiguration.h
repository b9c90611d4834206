// Where the client finds the service and whom it signs as. The application uses the defaults;
// tests point the hosts at a local stand-in and trust its certificate authority.
#pragma once

#include <QString>

namespace vaultora::sync {

struct DropboxServiceConfiguration {
    // The application's registration with the service.
    static inline const QString applicationConsumerKey = QStringLiteral("qk4tbw8ne2xzv0c");
    static inline const QString applicationConsumerSecret = QStringLiteral("m3hd9sa1pyl7jt6");

    // Host names, optionally with ":port": the API host answers token, account and metadata
    // requests, the content host serves file bodies.
    QString apiHost = QStringLiteral("api.dropbox.com");
    QString contentHost = QStringLiteral("api-content.dropbox.com");
    // A PEM file of certificate authorities to trust instead of the system's; empty: the
    // system's store. Certificates are always verified.
    QString certificateAuthorityFile;
};

} // namespace vaultora::sync
