// What a REST client tells the object that asked: each operation has a default that does
// nothing, so a delegate implements only the answers it waits for. All calls come on the main
// thread.
#pragma once

#include "sync/DBMetadata.h"
#include "sync/NetworkError.h"

#include <QString>

namespace vaultora::sync {

class DBRestClient;

class DBRestClientDelegate {
public:
    virtual ~DBRestClientDelegate() = default;

    virtual void restClientDidLogin(DBRestClient& client);
    virtual void loginFailedWithError(DBRestClient& client, const NetworkError& error);

    virtual void loadedMetadata(DBRestClient& client, const DBMetadata& metadata);
    // The folder has not changed since the hash given with the request.
    virtual void metadataUnchangedAtPath(DBRestClient& client, const QString& path);
    virtual void loadMetadataFailedWithError(DBRestClient& client, const NetworkError& error);

    // The file is in place at the local path; the response's "Content-Type" and "Etag" headers
    // come along (null when absent).
    virtual void loadedFile(DBRestClient& client, const QString& destinationPath,
                            const QString& contentType, const QString& eTag);
    virtual void loadProgress(DBRestClient& client, double fraction,
                              const QString& destinationPath);
    virtual void loadFileFailedWithError(DBRestClient& client, const NetworkError& error);

    virtual void restClientCreatedAccount(DBRestClient& client);
    virtual void createAccountFailedWithError(DBRestClient& client, const NetworkError& error);
};

} // namespace vaultora::sync
