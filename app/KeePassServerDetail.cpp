#include "app/KeePassServerDetail.h"

#include "app/AppConfiguration.h"

std::shared_ptr<KeePassServerDetail>
KeePassServerDetail::createForLegacyFile(const QString& fileName, const QString& downloadUrl) {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setDatabaseName(fileName);
    record->setServerDisplayName(fileName);
    record->setServerUrl(downloadUrl);
    record->setDBSyncType(SyncTypeHttpDownload);
    record->setSavePassword(0);
    return record;
}

std::shared_ptr<KeePassServerDetail> KeePassServerDetail::createTestDatabase() {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setDatabaseName(QString::fromUtf8(AppConfiguration::testDatabaseFileName));
    record->setServerDisplayName(QString::fromUtf8(AppConfiguration::testDatabaseDisplayName));
    record->setServerUrl(QString::fromUtf8(AppConfiguration::testDatabaseDownloadAddress));
    record->setDatabasePassword(kdb::secureBytesFromText(AppConfiguration::testDatabasePassword));
    record->setDBSyncType(SyncTypeHttpDownload);
    record->setSavePassword(1);
    return record;
}

std::shared_ptr<KeePassServerDetail> KeePassServerDetail::createNewDatabase() {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setServerDisplayName(QStringLiteral("New database"));
    record->setDatabaseName(QStringLiteral(""));
    record->setServerUrl(QStringLiteral(""));
    record->setDBSyncType(SyncTypeHttpDownload);
    record->setSavePassword(0);
    record->setSaveDatabasePassword(0);
    return record;
}
