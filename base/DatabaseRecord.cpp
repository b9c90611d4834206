#include "base/DatabaseRecord.h"

#include "base/AppConfiguration.h"

namespace vaultora::base {

std::shared_ptr<DatabaseRecord> DatabaseRecord::createForLegacyFile(const QString& fileName,
                                                                    const QString& downloadUrl) {
    auto record = std::make_shared<DatabaseRecord>();
    record->setDatabaseName(fileName);
    record->setServerDisplayName(fileName);
    record->setServerUrl(downloadUrl);
    record->setSyncType(SyncTypeHttpDownload);
    record->setSavePassword(0);
    return record;
}

std::shared_ptr<DatabaseRecord> DatabaseRecord::createTestDatabase() {
    auto record = std::make_shared<DatabaseRecord>();
    record->setDatabaseName(QString::fromUtf8(AppConfiguration::testDatabaseFileName));
    record->setServerDisplayName(QString::fromUtf8(AppConfiguration::testDatabaseDisplayName));
    record->setServerUrl(QString::fromUtf8(AppConfiguration::testDatabaseDownloadAddress));
    record->setDatabasePassword(kdb::secureBytesFromText(AppConfiguration::testDatabasePassword));
    record->setSyncType(SyncTypeHttpDownload);
    record->setSavePassword(1);
    return record;
}

std::shared_ptr<DatabaseRecord> DatabaseRecord::createNewDatabase() {
    auto record = std::make_shared<DatabaseRecord>();
    record->setServerDisplayName(QStringLiteral("New database"));
    record->setDatabaseName(QStringLiteral(""));
    record->setServerUrl(QStringLiteral(""));
    record->setSyncType(SyncTypeHttpDownload);
    record->setSavePassword(0);
    record->setSaveDatabasePassword(0);
    return record;
}

} // namespace vaultora::base
