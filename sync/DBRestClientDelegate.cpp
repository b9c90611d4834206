#include "sync/DBRestClientDelegate.h"

namespace vaultora::sync {

void DBRestClientDelegate::restClientDidLogin(DBRestClient&) {}
void DBRestClientDelegate::loginFailedWithError(DBRestClient&, const NetworkError&) {}
void DBRestClientDelegate::loadedMetadata(DBRestClient&, const DBMetadata&) {}
void DBRestClientDelegate::metadataUnchangedAtPath(DBRestClient&, const QString&) {}
void DBRestClientDelegate::loadMetadataFailedWithError(DBRestClient&, const NetworkError&) {}
void DBRestClientDelegate::loadedFile(DBRestClient&, const QString&, const QString&,
                                      const QString&) {}
void DBRestClientDelegate::loadProgress(DBRestClient&, double, const QString&) {}
void DBRestClientDelegate::loadFileFailedWithError(DBRestClient&, const NetworkError&) {}
void DBRestClientDelegate::restClientCreatedAccount(DBRestClient&) {}
void DBRestClientDelegate::createAccountFailedWithError(DBRestClient&, const NetworkError&) {}

} // namespace vaultora::sync
