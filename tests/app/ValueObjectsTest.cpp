#include "app/AppSettings.h"
#include "app/LoginInfo.h"
#include "base/DatabaseRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(AppSettings, FreshSettingsHaveTheDefaults) {
    const vaultora::app::AppSettings settings;
    EXPECT_EQ(settings.iAutoLogoutTimer(), 5);
    EXPECT_TRUE(settings.bAutoLogout());
    EXPECT_FALSE(settings.bShowPasswordDefault());
    EXPECT_FALSE(settings.bShowFullScreen());
}

TEST(DatabaseRecord, ConstructorLeavesEverythingZeroOrAbsent) {
    const vaultora::base::DatabaseRecord record;
    EXPECT_TRUE(record.serverUrl().isNull());
    EXPECT_TRUE(record.serverDisplayName().isNull());
    EXPECT_TRUE(record.databaseName().isNull());
    EXPECT_TRUE(record.databasePassword().empty());
    EXPECT_EQ(record.syncType(), 0);
    EXPECT_EQ(record.savePassword(), 0);
    EXPECT_EQ(record.isDefault(), 0);
    EXPECT_TRUE(record.searchResultArray().isEmpty());
    EXPECT_FALSE(record.lastFileDate().isValid());
}

TEST(DatabaseRecord, CreatorsSetTheirFields) {
    const auto added = vaultora::base::DatabaseRecord::createNewDatabase();
    EXPECT_EQ(added->serverDisplayName(), QStringLiteral("New database"));
    EXPECT_TRUE(added->databaseName().isEmpty() && !added->databaseName().isNull());
    EXPECT_TRUE(added->serverUrl().isEmpty() && !added->serverUrl().isNull());
    EXPECT_EQ(added->syncType(), vaultora::base::DatabaseRecord::SyncTypeHttpDownload);
    EXPECT_EQ(added->savePassword(), 0);

    const auto legacy = vaultora::base::DatabaseRecord::createForLegacyFile(
        QStringLiteral("a.kdb"), QStringLiteral("https://example.org/a"));
    EXPECT_EQ(legacy->serverDisplayName(), QStringLiteral("a.kdb"));
    EXPECT_EQ(legacy->databaseName(), QStringLiteral("a.kdb"));
    EXPECT_EQ(legacy->serverUrl(), QStringLiteral("https://example.org/a"));
    EXPECT_EQ(legacy->syncType(), 1);
    EXPECT_TRUE(legacy->databasePassword().empty());
}

TEST(LoginInfo, LoginStaysAbsentWhenOnlyThePasswordIsCopied) {
    vaultora::app::LoginInfo info;
    info.setPassword(vaultora::kdb::secureBytesFromText("pw"));
    EXPECT_TRUE(info.login().isNull());
    EXPECT_EQ(std::string(info.password().begin(), info.password().end()), "pw");
}

} // namespace
