#include "ApplicationControllerFixture.h"

#include <QFile>
#include <QTimeZone>

namespace {

const QString testDatabaseUrl = QStringLiteral("https://example.com/vaultora/test_database.kdb");
const QString service = QStringLiteral("Vaultora");

QByteArray bundledTestDatabase() {
    QFile file(QStringLiteral(VAULTORA_APP_RESOURCES_DIR "/test_database.kdb"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FirstStartTest : public ApplicationControllerTest {
protected:
    void expectTestDatabaseRegistered(vaultora::app::ApplicationController& delegate) {
        ASSERT_EQ(delegate.serverArray().size(), 1u);
        const vaultora::base::DatabaseRecord& test = *delegate.serverArray()[0];
        EXPECT_EQ(test.databaseName(), QStringLiteral("test_database.kdb"));
        EXPECT_EQ(test.serverDisplayName(), QStringLiteral("Test database"));
        EXPECT_EQ(test.serverUrl(), testDatabaseUrl);
        EXPECT_EQ(test.syncType(), 1);
        EXPECT_EQ(test.savePassword(), 1);
        EXPECT_EQ(std::string(test.databasePassword().begin(), test.databasePassword().end()),
                  "tulipfox");
        EXPECT_EQ(keychain.backend().password(testDatabaseUrl, service), "tulipfox");
    }
};

TEST_F(FirstStartTest, RegistersStoresAndInstallsTheTestDatabase) {
    vaultora::app::ApplicationController& delegate = launch();
    expectTestDatabaseRegistered(delegate);

    const QByteArray bundled = bundledTestDatabase();
    ASSERT_FALSE(bundled.isEmpty());
    EXPECT_EQ(readFile(QStringLiteral("test_database.kdb")), bundled);

    const QByteArray xml = readFile(QStringLiteral("Vaultora.plist"));
    EXPECT_TRUE(xml.contains("<string>Test database</string>"));
    EXPECT_FALSE(xml.contains("tulipfox"));
    EXPECT_EQ(documentNames(),
              (QStringList{QStringLiteral("Vaultora.plist"), QStringLiteral("test_database.kdb")}));

    // The next launch is a normal start: the registry is read, nothing is stored again.
    keychain.backend().calls.clear();
    vaultora::app::ApplicationController& next = launch();
    ASSERT_EQ(next.serverArray().size(), 1u);
    EXPECT_TRUE(next.serverArray()[0]->databasePassword().empty());
    EXPECT_TRUE(keychain.backend().calls.empty());
}

TEST_F(FirstStartTest, KeepsAnExistingDatabaseFileAndReplacesTheSavedPassword) {
    writeFile(QStringLiteral("test_database.kdb"), "the user's own copy");
    keychain.backend().items[{testDatabaseUrl, service}] =
        FakeKeychainBackend::Item{vaultora::kdb::secureBytesFromText("changed"), false, service};
    vaultora::app::ApplicationController& delegate = launch();
    expectTestDatabaseRegistered(delegate);
    EXPECT_EQ(readFile(QStringLiteral("test_database.kdb")), QByteArray("the user's own copy"));
}

TEST_F(FirstStartTest, AFailingPasswordStoreDoesNotStopTheFirstStart) {
    keychain.backend().addStatus = -25291;
    vaultora::app::ApplicationController& delegate = launch();
    ASSERT_EQ(delegate.serverArray().size(), 1u);
    EXPECT_TRUE(readFile(QStringLiteral("Vaultora.plist")).contains("Test database"));
}

TEST_F(FirstStartTest, EmptyRegistryFileIsAPlainFirstStart) {
    for (const QByteArray& empty : {QByteArray(), registryXml("")}) {
        writeFile(QStringLiteral("Vaultora.plist"), empty);
        vaultora::app::ApplicationController& delegate = launch();
        expectTestDatabaseRegistered(delegate);
        EXPECT_FALSE(documentNames().join(QLatin1Char(' ')).contains(QStringLiteral("unreadable")));
    }
}

TEST_F(FirstStartTest, ImportsTheLegacyFileListInsteadOfTheTestDatabase) {
    const QByteArray legacy =
        registryXml("<key>work.kdbx</key><string>https://example.org/w.kdbx</string>"
                    "<key>home</key><string>https://example.org/home</string>");
    writeFile(QStringLiteral("VaultoraDatabaseFiles.plist"), legacy);
    vaultora::app::ApplicationController& delegate = launch();

    ASSERT_EQ(delegate.serverArray().size(), 2u);
    const vaultora::base::DatabaseRecord& work = *delegate.serverArray()[0];
    EXPECT_EQ(work.databaseName(), QStringLiteral("work.kdbx"));
    EXPECT_EQ(work.serverDisplayName(), QStringLiteral("work.kdbx"));
    EXPECT_EQ(work.serverUrl(), QStringLiteral("https://example.org/w.kdbx"));
    EXPECT_EQ(work.syncType(), 1);
    EXPECT_EQ(work.savePassword(), 0);
    EXPECT_EQ(delegate.serverArray()[1]->databaseName(), QStringLiteral("home"));

    EXPECT_TRUE(keychain.backend().calls.empty());
    EXPECT_FALSE(documentNames().contains(QStringLiteral("test_database.kdb")));
    // The list is left as it was; the registry now holds its records.
    EXPECT_EQ(readFile(QStringLiteral("VaultoraDatabaseFiles.plist")), legacy);
    EXPECT_TRUE(readFile(QStringLiteral("Vaultora.plist")).contains("https://example.org/home"));

    // Only the first start imports it.
    delegate.serverArray().clear();
    delegate.savePList();
    EXPECT_TRUE(launch().serverArray().empty());
}

TEST_F(FirstStartTest, UnreadableRegistryIsKeptAsideBeforeAFreshOneIsWritten) {
    const QByteArray broken = "<?xml version=\"1.0\"?><plist><dict><key>Databases";
    const QByteArray notADictionary =
        "<plist version=\"1.0\"><array><string>x</string></array></plist>";
    for (const QByteArray& contents : {broken, notADictionary}) {
        writeFile(QStringLiteral("Vaultora.plist"), contents);
        vaultora::app::ApplicationController& delegate = makeDelegate();
        delegate.setClock(
            [] { return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc()); });
        delegate.didFinishLaunchingWithOptions();
        expectTestDatabaseRegistered(delegate);
        EXPECT_TRUE(readFile(QStringLiteral("Vaultora.plist")).contains("Test database"));
    }
    // The second file set aside in the same second gets a number of its own.
    EXPECT_EQ(readFile(QStringLiteral("Vaultora.plist.unreadable-20240102T030405Z")), broken);
    EXPECT_EQ(readFile(QStringLiteral("Vaultora.plist.unreadable-20240102T030405Z-2")),
              notADictionary);
}

} // namespace
