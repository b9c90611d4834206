#include "sync/dropbox/DropboxClientDelegate.h"

namespace vaultora::sync {

void DropboxClientDelegate::restClientDidLogin(DropboxClient&) {}
void DropboxClientDelegate::loginFailedWithError(DropboxClient&, const net::NetworkError&) {}
void DropboxClientDelegate::loadedMetadata(DropboxClient&, const DropboxMetadata&) {}
void DropboxClientDelegate::metadataUnchangedAtPath(DropboxClient&, const QString&) {}
void DropboxClientDelegate::loadMetadataFailedWithError(DropboxClient&, const net::NetworkError&) {}
void DropboxClientDelegate::loadedFile(DropboxClient&, const QString&, const QString&,
                                       const QString&) {}
void DropboxClientDelegate::loadProgress(DropboxClient&, double, const QString&) {}
void DropboxClientDelegate::loadFileFailedWithError(DropboxClient&, const net::NetworkError&) {}
void DropboxClientDelegate::restClientCreatedAccount(DropboxClient&) {}
void DropboxClientDelegate::createAccountFailedWithError(DropboxClient&, const net::NetworkError&) {
}

} // namespace vaultora::sync
