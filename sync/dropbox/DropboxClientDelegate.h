// What a REST client tells the object that asked: each operation has a default that does
// nothing, so a delegate implements only the answers it waits for. All calls come on the main
// thread.
#pragma once

#include "net/NetworkError.h"
#include "sync/dropbox/DropboxMetadata.h"

#include <QString>

namespace vaultora::sync {

class DropboxClient;

class DropboxClientDelegate {
public:
    virtual ~DropboxClientDelegate() = default;

    virtual void restClientDidLogin(DropboxClient& client);
    virtual void loginFailedWithError(DropboxClient& client, const net::NetworkError& error);

    virtual void loadedMetadata(DropboxClient& client, const DropboxMetadata& metadata);
    // The folder has not changed since the hash given with the request.
    virtual void metadataUnchangedAtPath(DropboxClient& client, const QString& path);
    virtual void loadMetadataFailedWithError(DropboxClient& client, const net::NetworkError& error);

    // The file is in place at the local path; the response's "Content-Type" and "Etag" headers
    // come along (null when absent).
    virtual void loadedFile(DropboxClient& client, const QString& destinationPath,
                            const QString& contentType, const QString& eTag);
    virtual void loadProgress(DropboxClient& client, double fraction,
                              const QString& destinationPath);
    virtual void loadFileFailedWithError(DropboxClient& client, const net::NetworkError& error);

    virtual void restClientCreatedAccount(DropboxClient& client);
    virtual void createAccountFailedWithError(DropboxClient& client,
                                              const net::NetworkError& error);
};

} // namespace vaultora::sync
