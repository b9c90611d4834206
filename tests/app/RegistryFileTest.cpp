#include "ApplicationControllerFixture.h"

#include "app/PropertyList.h"
#include "app/RegistryCodec.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>

namespace {

std::shared_ptr<vaultora::base::DatabaseRecord> record(const QString& name, std::int32_t syncType,
                                                       std::int32_t savePassword) {
    auto server = std::make_shared<vaultora::base::DatabaseRecord>();
    server->setDatabaseName(name + QStringLiteral(".kdbx"));
    server->setServerDisplayName(QStringLiteral("Name ") + name + QStringLiteral(" \u00e9\u00df"));
    server->setServerUrl(QStringLiteral("https://example.org/") + name +
                         QStringLiteral("?a=1&b=<2>"));
    server->setSyncType(syncType);
    server->setSavePassword(savePassword);
    return server;
}

std::string password(const vaultora::base::DatabaseRecord& server) {
    return {server.databasePassword().begin(), server.databasePassword().end()};
}

TEST_F(ApplicationControllerTest, RegistryRoundTripKeepsRecordOrderAndSettings) {
    vaultora::app::ApplicationController& writer = makeDelegate();
    // More than ten records, so that "Database 10" would sort before "Database 2".
    for (int index = 0; index < 12; ++index) {
        writer.serverArray().push_back(
            record(QString::number(index), index % 2 == 0 ? 1 : 4, index % 3 == 0 ? 1 : 0));
    }
    writer.appSettings().setBAutoLogout(false);
    writer.appSettings().setBShowPasswordDefault(true);
    writer.appSettings().setBShowFullScreen(true);
    writer.appSettings().setIAutoLogoutTimer(-3);
    writer.appSettings().setIClipboardClearSeconds(90);
    writer.savePList();

    const QByteArray xml = readFile(QStringLiteral("Vaultora.plist"));
    EXPECT_TRUE(xml.contains("<key>InternalVersion</key>\n\t<integer>6</integer>"));
    EXPECT_TRUE(xml.contains("<key>Database 11</key>"));

    vaultora::app::ApplicationController& reader = makeDelegate();
    reader.loadPList();
    ASSERT_EQ(reader.serverArray().size(), 12u);
    for (int index = 0; index < 12; ++index) {
        const auto expected =
            record(QString::number(index), index % 2 == 0 ? 1 : 4, index % 3 == 0 ? 1 : 0);
        const vaultora::base::DatabaseRecord& loaded =
            *reader.serverArray()[static_cast<std::size_t>(index)];
        EXPECT_EQ(loaded.databaseName(), expected->databaseName());
        EXPECT_EQ(loaded.serverDisplayName(), expected->serverDisplayName());
        EXPECT_EQ(loaded.serverUrl(), expected->serverUrl());
        EXPECT_EQ(loaded.syncType(), expected->syncType());
        EXPECT_EQ(loaded.savePassword(), expected->savePassword());
        EXPECT_TRUE(loaded.databasePassword().empty());
    }
    EXPECT_FALSE(reader.appSettings().bAutoLogout());
    EXPECT_TRUE(reader.appSettings().bShowPasswordDefault());
    EXPECT_TRUE(reader.appSettings().bShowFullScreen());
    EXPECT_EQ(reader.appSettings().iAutoLogoutTimer(), -3);
    EXPECT_EQ(reader.appSettings().iClipboardClearSeconds(), 90);
    EXPECT_TRUE(keychain.backend().calls.empty());
}

TEST_F(ApplicationControllerTest, SavingClearsUnsavedPasswordsAndNeverWritesAny) {
    vaultora::app::ApplicationController& delegate = makeDelegate();
    auto unsaved = record(QStringLiteral("a"), 1, 0);
    unsaved->setDatabasePassword(vaultora::kdb::secureBytesFromText("typed-only"));
    auto saved = record(QStringLiteral("b"), 1, 7);
    saved->setDatabasePassword(vaultora::kdb::secureBytesFromText("from-store"));
    delegate.serverArray() = {unsaved, saved};
    delegate.savePList();

    EXPECT_EQ(password(*unsaved), "");
    EXPECT_EQ(password(*saved), "from-store");
    const QByteArray xml = readFile(QStringLiteral("Vaultora.plist"));
    EXPECT_FALSE(xml.contains("typed-only"));
    EXPECT_FALSE(xml.contains("from-store"));
    EXPECT_FALSE(xml.contains("DatabasePassword"));
    // savePassword is written as a flag.
    EXPECT_TRUE(xml.contains("<key>savePassword</key>\n\t\t\t<integer>1</integer>"));
}

TEST_F(ApplicationControllerTest, LoadingDropsOldPasswordsAndFallsBackToDatabaseName) {
    writeFile(QStringLiteral("Vaultora.plist"),
              registryXml("<key>Databases</key><dict>"
                          "<key>Database 1</key><dict>"
                          "<key>DatabaseName</key><string>second.kdb</string>"
                          "<key>ServerDisplayName</key><string></string>"
                          "<key>ServerUrl</key><string>https://example.org/second.kdb</string>"
                          "<key>DBSyncType</key><integer>1</integer>"
                          "<key>savePassword</key><integer>0</integer>"
                          "<key>defaultDatabase</key><integer>1</integer>"
                          "<key>DatabasePassword</key><string>old-secret</string>"
                          "</dict>"
                          "<key>Database 0</key><dict>"
                          "<key>DatabaseName</key><string>first.kdbx</string>"
                          "<key>lastFileDate</key><date>2011-06-15T10:20:30Z</date>"
                          "</dict>"
                          "</dict>"));
    vaultora::app::ApplicationController& delegate = makeDelegate();
    delegate.loadPList();
    ASSERT_EQ(delegate.serverArray().size(), 2u);

    // Records come in the order of the file, whatever the numbers in the keys say.
    const vaultora::base::DatabaseRecord& second = *delegate.serverArray()[0];
    EXPECT_EQ(second.databaseName(), QStringLiteral("second.kdb"));
    EXPECT_EQ(second.serverDisplayName(), QStringLiteral("second.kdb"));
    EXPECT_TRUE(second.databasePassword().empty());
    EXPECT_EQ(second.isDefault(), 0);

    const vaultora::base::DatabaseRecord& first = *delegate.serverArray()[1];
    EXPECT_EQ(first.serverDisplayName(), QStringLiteral("first.kdbx"));
    EXPECT_TRUE(first.serverUrl().isNull());
    EXPECT_EQ(first.syncType(), 0);
    EXPECT_EQ(first.savePassword(), 0);
    EXPECT_EQ(first.lastFileDate(),
              QDateTime(QDate(2011, 6, 15), QTime(10, 20, 30), QTimeZone::utc()));

    delegate.savePList();
    const QByteArray xml = readFile(QStringLiteral("Vaultora.plist"));
    EXPECT_FALSE(xml.contains("DatabasePassword"));
    EXPECT_FALSE(xml.contains("old-secret"));
    EXPECT_FALSE(xml.contains("lastFileDate"));
    EXPECT_EQ(xml.count("<key>defaultDatabase</key>\n\t\t\t<integer>0</integer>"), 2);
    // Absent strings are written as empty ones.
    EXPECT_TRUE(xml.contains("<key>ServerUrl</key>\n\t\t\t<string></string>"));
}

TEST_F(ApplicationControllerTest, SettingsWithoutDatabasesGiveAnEmptyRegistry) {
    const QByteArray file = registryXml("<key>AutoLogoutTimer</key><integer>0</integer>"
                                        "<key>ShowFullScreen</key><true/>");
    writeFile(QStringLiteral("Vaultora.plist"), file);
    vaultora::app::ApplicationController& delegate = launch();

    EXPECT_TRUE(delegate.serverArray().empty());
    EXPECT_EQ(delegate.appSettings().iAutoLogoutTimer(), 0);
    EXPECT_TRUE(delegate.appSettings().bShowFullScreen());
    // Keys the file does not name keep their defaults.
    EXPECT_TRUE(delegate.appSettings().bAutoLogout());
    EXPECT_FALSE(delegate.appSettings().bShowPasswordDefault());
    EXPECT_EQ(delegate.appSettings().iClipboardClearSeconds(), 30);
    // An idle time of 0 reaches the window as 0 seconds, which switches the watch off.
    EXPECT_EQ(parts->timerValues, std::vector<double>{0.0});
    // No test database, nothing stored, nothing written back.
    EXPECT_TRUE(keychain.backend().calls.empty());
    EXPECT_EQ(readFile(QStringLiteral("Vaultora.plist")), file);
    EXPECT_FALSE(documentNames().contains(QStringLiteral("test_database.kdb")));
}

TEST_F(ApplicationControllerTest, WrittenRegistryIsReadableByPlistutil) {
    const QString plistutil = QStandardPaths::findExecutable(QStringLiteral("plistutil"));
    if (plistutil.isEmpty()) {
        GTEST_SKIP() << "plistutil is not installed (scripts/setup installs libplist-utils)";
    }
    vaultora::app::ApplicationController& delegate = makeDelegate();
    delegate.serverArray().push_back(record(QStringLiteral("x"), 3, 1));
    delegate.savePList();

    // XML to binary and back: plistutil must read every value for the two XML texts to match.
    const QString binary = documentPath(QStringLiteral("copy.bplist"));
    const QString xml = documentPath(QStringLiteral("copy.xml"));
    ASSERT_EQ(QProcess::execute(plistutil, {QStringLiteral("-i"), delegate.registryFilePath(),
                                            QStringLiteral("-o"), binary}),
              0);
    ASSERT_EQ(
        QProcess::execute(plistutil, {QStringLiteral("-i"), binary, QStringLiteral("-o"), xml}), 0);
    EXPECT_TRUE(readFile(QStringLiteral("copy.bplist")).startsWith("bplist00"));
    EXPECT_EQ(readFile(QStringLiteral("copy.xml")), readFile(QStringLiteral("Vaultora.plist")));
}

TEST_F(ApplicationControllerTest, BinaryRegistryIsRead) {
    const QString plistutil = QStandardPaths::findExecutable(QStringLiteral("plistutil"));
    if (plistutil.isEmpty()) {
        GTEST_SKIP() << "plistutil is not installed (scripts/setup installs libplist-utils)";
    }
    writeFile(QStringLiteral("source.xml"),
              registryXml("<key>Databases</key><dict><key>Database 0</key><dict>"
                          "<key>DatabaseName</key><string>bin.kdb</string></dict></dict>"));
    ASSERT_EQ(
        QProcess::execute(plistutil,
                          {QStringLiteral("-i"), documentPath(QStringLiteral("source.xml")),
                           QStringLiteral("-o"), documentPath(QStringLiteral("Vaultora.plist"))}),
        0);
    vaultora::app::ApplicationController& delegate = makeDelegate();
    delegate.loadPList();
    ASSERT_EQ(delegate.serverArray().size(), 1u);
    EXPECT_EQ(delegate.serverArray()[0]->databaseName(), QStringLiteral("bin.kdb"));
}

// libplist aborts when asked the usual way for a key or string that holds a NUL.
TEST_F(ApplicationControllerTest, ANullEndsANameAndDropsALegacyEntryItsKeyHolds) {
    writeFile(QStringLiteral("Vaultora.plist"),
              registryXml(QByteArray("<key>Databases</key><dict><key>Database 0</key><dict>"
                                     "<key>DatabaseName</key><string>cut") +
                          '\0' + "off.kdb</string></dict></dict>"));
    vaultora::app::ApplicationController& delegate = makeDelegate();
    delegate.loadPList();
    ASSERT_EQ(delegate.serverArray().size(), 1u);
    EXPECT_EQ(delegate.serverArray()[0]->databaseName(), QStringLiteral("cut"));

    // A binary list whose second key holds a NUL.
    QFile legacy(QStringLiteral(VAULTORA_APP_FUZZ_REGRESSIONS "/null-byte-inside-a-binary-key"));
    ASSERT_TRUE(legacy.open(QIODevice::ReadOnly));
    const vaultora::app::PropertyList list =
        vaultora::app::PropertyListFile::parse(legacy.readAll());
    ASSERT_TRUE(list);
    const vaultora::base::ServerArray imported =
        vaultora::app::RegistryCodec::decodeLegacyFileList(list.get());
    ASSERT_EQ(imported.size(), 2u);
    EXPECT_EQ(imported[0]->databaseName(), QStringLiteral("work.kdb"));
    EXPECT_EQ(imported[1]->databaseName(), QStringLiteral("broken"));
}

} // namespace

namespace {

TEST_F(ApplicationControllerTest, KeyFileRecordsRoundTripAndOthersAreWrittenAsBefore) {
    vaultora::app::ApplicationController& writer = makeDelegate();
    auto withPassword = record(QStringLiteral("both"), 3, 0);
    withPassword->setKeyFileName(QStringLiteral("both.keyx"));
    auto keyAlone = record(QStringLiteral("alone"), 3, 0);
    keyAlone->setKeyFileName(QStringLiteral("alone.key"));
    keyAlone->setUsesPassword(false);
    auto plain = record(QStringLiteral("plain"), 3, 0);
    writer.serverArray() = {withPassword, keyAlone, plain};
    writer.savePList();

    const QByteArray xml = readFile(QStringLiteral("Vaultora.plist"));
    EXPECT_EQ(xml.count("<key>KeyFileName</key>"), 2);
    EXPECT_EQ(xml.count("<key>NoPassword</key>"), 1);

    vaultora::app::ApplicationController& reader = makeDelegate();
    reader.loadPList();
    ASSERT_EQ(reader.serverArray().size(), 3u);
    EXPECT_EQ(reader.serverArray()[0]->keyFileName(), QStringLiteral("both.keyx"));
    EXPECT_TRUE(reader.serverArray()[0]->usesPassword());
    EXPECT_EQ(reader.serverArray()[1]->keyFileName(), QStringLiteral("alone.key"));
    EXPECT_FALSE(reader.serverArray()[1]->usesPassword());
    EXPECT_TRUE(reader.serverArray()[2]->keyFileName().isEmpty());
    EXPECT_TRUE(reader.serverArray()[2]->usesPassword());
}

// A registry of an older build has neither key; "NoPassword" without a key file is ignored, as
// such a record could never be opened.
TEST_F(ApplicationControllerTest, RecordsWithoutAKeyFileAlwaysAskForAPassword) {
    writeFile(QStringLiteral("Vaultora.plist"),
              registryXml("<key>Databases</key><dict>"
                          "<key>Database 0</key><dict>"
                          "<key>DatabaseName</key><string>old.kdbx</string>"
                          "<key>DBSyncType</key><integer>3</integer>"
                          "</dict>"
                          "<key>Database 1</key><dict>"
                          "<key>DatabaseName</key><string>odd.kdbx</string>"
                          "<key>NoPassword</key><integer>1</integer>"
                          "</dict>"
                          "</dict>"));
    vaultora::app::ApplicationController& delegate = makeDelegate();
    delegate.loadPList();
    ASSERT_EQ(delegate.serverArray().size(), 2u);
    for (const auto& loaded : delegate.serverArray()) {
        EXPECT_TRUE(loaded->keyFileName().isEmpty());
        EXPECT_TRUE(loaded->usesPassword());
    }
}

} // namespace
