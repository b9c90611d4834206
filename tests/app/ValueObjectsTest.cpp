#include "app/KeePassServerDetail.h"
#include "app/LoginInfo.h"
#include "app/ZTAppSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(ZTAppSettings, FreshSettingsHaveTheDefaults) {
    const ZTAppSettings settings;
    EXPECT_EQ(settings.iAutoLogoutTimer(), 5);
    EXPECT_TRUE(settings.bAutoLogout());
    EXPECT_FALSE(settings.bShowPasswordDefault());
    EXPECT_FALSE(settings.bShowFullScreen());
}

TEST(KeePassServerDetail, ConstructorLeavesEverythingZeroOrAbsent) {
    const KeePassServerDetail record;
    EXPECT_TRUE(record.serverUrl().isNull());
    EXPECT_TRUE(record.serverDisplayName().isNull());
    EXPECT_TRUE(record.databaseName().isNull());
    EXPECT_TRUE(record.databasePassword().empty());
    EXPECT_EQ(record.DBSyncType(), 0);
    EXPECT_EQ(record.savePassword(), 0);
    EXPECT_EQ(record.isDefault(), 0);
    EXPECT_TRUE(record.searchResultArray().isEmpty());
    EXPECT_FALSE(record.lastFileDate().isValid());
}

TEST(KeePassServerDetail, CreatorsSetTheirFields) {
    const auto added = KeePassServerDetail::createNewDatabase();
    EXPECT_EQ(added->serverDisplayName(), QStringLiteral("New database"));
    EXPECT_TRUE(added->databaseName().isEmpty() && !added->databaseName().isNull());
    EXPECT_TRUE(added->serverUrl().isEmpty() && !added->serverUrl().isNull());
    EXPECT_EQ(added->DBSyncType(), KeePassServerDetail::SyncTypeHttpDownload);
    EXPECT_EQ(added->savePassword(), 0);

    const auto legacy = KeePassServerDetail::createForLegacyFile(
        QStringLiteral("a.kdb"), QStringLiteral("https://example.org/a"));
    EXPECT_EQ(legacy->serverDisplayName(), QStringLiteral("a.kdb"));
    EXPECT_EQ(legacy->databaseName(), QStringLiteral("a.kdb"));
    EXPECT_EQ(legacy->serverUrl(), QStringLiteral("https://example.org/a"));
    EXPECT_EQ(legacy->DBSyncType(), 1);
    EXPECT_TRUE(legacy->databasePassword().empty());
}

TEST(LoginInfo, LoginStaysAbsentWhenOnlyThePasswordIsCopied) {
    LoginInfo info;
    info.setPassword(kdb::secureBytesFromText("pw"));
    EXPECT_TRUE(info.login().isNull());
    EXPECT_EQ(std::string(info.password().begin(), info.password().end()), "pw");
}

} // namespace
