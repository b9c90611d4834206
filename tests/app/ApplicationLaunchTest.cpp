#include "ApplicationControllerFixture.h"

#include "base/Notifications.h"

#include <QStandardPaths>

namespace {

void post(const char* name) {
    vaultora::base::NotificationCenter::defaultCenter().post(QString::fromLatin1(name));
}

TEST_F(ApplicationControllerTest, LaunchRunsItsStepsInOrder) {
    vaultora::app::ApplicationController& delegate = launch();
    EXPECT_EQ(vaultora::app::ApplicationController::sharedDelegate(), &delegate);
    // The registry is loaded before the window is created.
    EXPECT_EQ(parts->steps, (std::vector<std::string>{"window, registry of 1", "navigation",
                                                      "crash reports", "dropbox session"}));
    EXPECT_EQ(parts->timerValues, std::vector<double>{300.0});
    EXPECT_EQ(delegate.idlingWindow(), parts);
    EXPECT_EQ(delegate.stackController(), parts);
}

TEST_F(ApplicationControllerTest, SettingsChangeSavesAndRearmsTheIdleWatch) {
    vaultora::app::ApplicationController& delegate = launch();
    delegate.appSettings().setIAutoLogoutTimer(2);
    delegate.appSettings().setBShowPasswordDefault(true);
    post(vaultora::base::Notifications::settingsChanged);
    EXPECT_EQ(parts->timerValues, (std::vector<double>{300.0, 120.0}));

    vaultora::app::ApplicationController& reloaded = launch();
    EXPECT_EQ(reloaded.appSettings().iAutoLogoutTimer(), 2);
    EXPECT_TRUE(reloaded.appSettings().bShowPasswordDefault());
    EXPECT_EQ(parts->timerValues, std::vector<double>{120.0});
}

TEST_F(ApplicationControllerTest, DatabaseChangeSavesTheRegistryAndNothingElseDoes) {
    vaultora::app::ApplicationController& delegate = launch();
    delegate.serverArray().push_back(vaultora::base::DatabaseRecord::createNewDatabase());
    EXPECT_FALSE(readFile(QStringLiteral("Vaultora.plist")).contains("New database"));
    post(vaultora::base::Notifications::databasesChanged);
    EXPECT_TRUE(readFile(QStringLiteral("Vaultora.plist")).contains("New database"));

    // Changes that were not announced are not written, not even when the delegate goes.
    delegate.serverArray().clear();
    const QByteArray saved = readFile(QStringLiteral("Vaultora.plist"));
    makeDelegate();
    EXPECT_EQ(readFile(QStringLiteral("Vaultora.plist")), saved);
}

TEST_F(ApplicationControllerTest, ADestroyedDelegateStopsObserving) {
    launch();
    vaultora::base::NotificationCenter& center =
        vaultora::base::NotificationCenter::defaultCenter();
    EXPECT_EQ(
        center.observerCount(QString::fromLatin1(vaultora::base::Notifications::databasesChanged)),
        1u);
    makeDelegate();
    EXPECT_EQ(
        center.observerCount(QString::fromLatin1(vaultora::base::Notifications::databasesChanged)),
        0u);
    EXPECT_EQ(
        center.observerCount(QString::fromLatin1(vaultora::base::Notifications::settingsChanged)),
        0u);
}

TEST_F(ApplicationControllerTest, GoingToTheBackgroundClosesEveryPanel) {
    vaultora::app::ApplicationController& delegate = launch();
    delegate.applicationDidEnterBackground();
    EXPECT_TRUE(parts->pops.empty());

    parts->panels = 3;
    delegate.applicationDidEnterBackground();
    EXPECT_EQ(parts->panels, 0u);
    EXPECT_EQ(parts->pops, (std::vector<bool>{true, true, true}));
}

TEST_F(ApplicationControllerTest, DocumentPathsGetTheDatabaseSuffixWhenTheyLackIt) {
    vaultora::app::ApplicationController& delegate = makeDelegate();
    const QString base = documents() + QLatin1Char('/');
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("db.kdbx")),
              base + QStringLiteral("db.kdbx"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("db.kdb")),
              base + QStringLiteral("db.kdb"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("download")),
              base + QStringLiteral("download.kdb"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("mykdb")),
              base + QStringLiteral("mykdb"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("db.KDB")),
              base + QStringLiteral("db.KDB.kdb"));
}

TEST_F(ApplicationControllerTest, DocumentPathsNeverLeaveTheDocumentsDirectory) {
    vaultora::app::ApplicationController& delegate = makeDelegate();
    const QString base = documents() + QLatin1Char('/');
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("../../.bashrc")),
              base + QStringLiteral(".bashrc.kdb"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("/etc/passwd.kdbx")),
              base + QStringLiteral("passwd.kdbx"));
    EXPECT_EQ(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("folder/..")),
              base + QStringLiteral("...kdb"));
}

TEST(DocumentsDirectory, IsPrivateToTheApplication) {
    const QString directory = vaultora::app::ApplicationController::defaultDocumentsDirectory();
    EXPECT_TRUE(
        directory.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    EXPECT_TRUE(directory.endsWith(QStringLiteral("/Documents")));
    EXPECT_NE(directory, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

} // namespace
