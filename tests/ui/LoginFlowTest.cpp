#include "ScreenTestSupport.h"

#include "ui/DatabaseOpenFlow.h"
#include "ui/GroupBrowser.h"
#include "ui/PasswordForm.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>

using namespace vaultora::test::screens;

namespace {

const QString notFound = QStringLiteral("The database file is not found on this iPhone.");
const QString syncAgain = QStringLiteral("Please sync again in the database settings dialog.");
const QString notCorrect = QStringLiteral("Password is not correct!");

class LoginFlow : public ScreenTest {};

TEST_F(LoginFlow, SavedPasswordOpensTheRootGroupWithoutTheForm) {
    addTestDatabase();
    openFromMenu(0);

    ASSERT_EQ(stack->count(), 1);
    vaultora::ui::GroupBrowser* browser = browserAt(0);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isStackedView());
    EXPECT_NE(browser->treeDatabase(), nullptr);
    EXPECT_EQ(browser->groupDatabase(), browser->treeDatabase()->getRoot());
    EXPECT_EQ(browser->navController(), stack->viewControllers().at(0));
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_TRUE(shownPanels.empty());
    EXPECT_EQ(stack->firstVisiblePosition(), 0) << "the panel fits beside the menu";
    stack->setViewportSize(QSizeF(390, 844));
    EXPECT_EQ(stack->firstVisiblePosition(), 1) << "a phone's width covers the menu";
}

TEST_F(LoginFlow, WrongSavedPasswordShowsBothPanelsThenTheForm) {
    auto record = addTestDatabase(false);
    record->setSavePassword(1);
    keychain.store(record->serverUrl(), QStringLiteral("outdated"));
    openFromMenu(0);

    EXPECT_EQ(shownTitles(), QStringList({notCorrect, notCorrect}));
    EXPECT_EQ(shownPanels.at(0).subtitle, QStringLiteral("Error"));
    EXPECT_EQ(shownPanels.at(0).style, vaultora::toolkit::TransientPanel::Style::Error);
    ASSERT_NE(presentedLoginForm(), nullptr);
    EXPECT_EQ(stack->count(), 0);
    EXPECT_EQ(record->databasePassword(), vaultora::kdb::secureBytesFromText("outdated"));

    typePasswordAndLogin(QStringLiteral("tulipfox"));
    EXPECT_EQ(stack->count(), 1);
    runDeferredDeletes();
    EXPECT_FALSE(modalPresenter->isPresenting());
}

TEST_F(LoginFlow, SavedPasswordMissingFromTheStoreTriesTheEmptyPassword) {
    auto record = addTestDatabase(false);
    record->setSavePassword(1);
    openFromMenu(0);

    EXPECT_EQ(shownTitles(), QStringList({notCorrect, notCorrect}));
    EXPECT_TRUE(record->databasePassword().empty());
    EXPECT_NE(presentedLoginForm(), nullptr);
}

TEST_F(LoginFlow, PasswordFormHasItsFieldsAndHidesTheText) {
    addTestDatabase(false);
    openFromMenu(0);

    vaultora::ui::PasswordForm* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->title(), QStringLiteral("Login"));
    EXPECT_TRUE(form->form()->isGrouped());
    ASSERT_EQ(form->form()->sections().size(), 2);
    vaultora::toolkit::FormRow* password = form->form()->rowForKey(QStringLiteral("password"));
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->kind(), vaultora::toolkit::FormRow::Kind::TextEntry);
    EXPECT_EQ(password->label(), QStringLiteral("Password"));
    EXPECT_EQ(password->placeholder(), QStringLiteral("your password"));
    EXPECT_TRUE(password->isSecure());
    const auto buttons = form->form()->sections().at(1)->rows();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons.at(0)->label(), QStringLiteral("Login"));
    EXPECT_EQ(buttons.at(1)->label(), QStringLiteral("Cancel"));
    EXPECT_TRUE(shownPanels.empty());
}

TEST_F(LoginFlow, TypedWrongPasswordKeepsTheFormForAnotherTry) {
    addTestDatabase(false);
    openFromMenu(0);

    typePasswordAndLogin(QStringLiteral("tulip"));
    EXPECT_EQ(shownTitles(), QStringList({notCorrect, notCorrect}));
    EXPECT_NE(presentedLoginForm(), nullptr);
    EXPECT_EQ(stack->count(), 0);

    typePasswordAndLogin(QStringLiteral("tulipfox"));
    EXPECT_EQ(stack->count(), 1);
    EXPECT_EQ(shownPanels.size(), 2u);
}

TEST_F(LoginFlow, CancelLeavesTheMenuAsItWasAndDropsThePanel) {
    addTestDatabase(false);
    openFromMenu(0);
    QPointer<vaultora::ui::DatabaseOpenFlow> pending = presentedLoginForm()->openFlow();
    ASSERT_FALSE(pending.isNull());

    pressFormButton(QStringLiteral("Cancel"));
    runDeferredDeletes();
    runDeferredDeletes();
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(pending.isNull());
    EXPECT_TRUE(shownPanels.empty());
}

TEST_F(LoginFlow, VersionTwoFileOpensWithTheTypedPassword) {
    installDatabase(sourcePath(QStringLiteral("tests/fixtures/kdbxweb/gzip-salsa20.kdbx")),
                    QStringLiteral("web.kdbx"));
    QFile facts(sourcePath(QStringLiteral("tests/fixtures/kdbxweb/gzip-salsa20.facts.json")));
    ASSERT_TRUE(facts.open(QIODevice::ReadOnly));
    const QString password = QJsonDocument::fromJson(facts.readAll())
                                 .object()
                                 .value(QStringLiteral("password"))
                                 .toString();
    addRecord(QStringLiteral("Web"), QStringLiteral("web.kdbx"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 0);
    openFromMenu(0);
    typePasswordAndLogin(password);

    ASSERT_EQ(stack->count(), 1);
    EXPECT_NE(browserAt(0)->treeDatabase(), nullptr);
}

TEST_F(LoginFlow, UnrecognisedFileReportsTheFormatThenThePassword) {
    QFile garbage(QDir(documents.path()).filePath(QStringLiteral("notes.kdb")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(512, 'x'));
    garbage.close();
    addRecord(QStringLiteral("Notes"), QStringLiteral("notes.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 1);
    openFromMenu(0);

    ASSERT_EQ(shownPanels.size(), 2u);
    EXPECT_EQ(shownPanels.at(0).title, QStringLiteral("Not a supported database version.!"));
    EXPECT_EQ(shownPanels.at(0).subtitle,
              QStringLiteral("Only kdb (1.x) and kdbx (up to 4.1) are supported."));
    EXPECT_EQ(shownPanels.at(1).title, notCorrect);
    EXPECT_NE(presentedLoginForm(), nullptr);
}

TEST_F(LoginFlow, OtherEngineFailuresNameTheFailureAndItsReason) {
    // A version-2 file cut short inside its header.
    QFile original(sourcePath(QStringLiteral("tests/fixtures/kdbxweb/gzip-salsa20.kdbx")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QFile cut(QDir(documents.path()).filePath(QStringLiteral("cut.kdbx")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(original.read(40));
    cut.close();
    addRecord(QStringLiteral("Cut"), QStringLiteral("cut.kdbx"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 1);
    openFromMenu(0);

    ASSERT_EQ(shownPanels.size(), 2u);
    const QString prefix = QStringLiteral("Unknown error (2): ");
    EXPECT_TRUE(shownPanels.at(0).title.startsWith(prefix))
        << shownPanels.at(0).title.toStdString();
    EXPECT_GT(shownPanels.at(0).title.size(), prefix.size());
    EXPECT_TRUE(shownPanels.at(0).subtitle.startsWith(shownPanels.at(0).title));
    EXPECT_GT(shownPanels.at(0).subtitle.size(), shownPanels.at(0).title.size());
    EXPECT_EQ(shownPanels.at(1).title, notCorrect);
}

TEST_F(LoginFlow, LocalCopyOfADownloadRecordOpensWithoutTheNetwork) {
    addTestDatabase();
    openFromMenu(0);
    EXPECT_TRUE(sources.downloads.empty());
    EXPECT_EQ(stack->count(), 1);
}

TEST_F(LoginFlow, MissingDownloadIsFetchedUnderTheLastPathComponentThenOpened) {
    addRecord(QStringLiteral("Remote"), QStringLiteral("remote.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeHttpDownload, 1,
              QStringLiteral("https://files.example.org/share/remote.kdb"));
    keychain.store(QStringLiteral("https://files.example.org/share/remote.kdb"),
                   QStringLiteral("tulipfox"));
    sources.downloader = [this](const RecordingSources::Download& download) {
        installDatabase(testDatabasePath(), download.fileName);
        return true;
    };
    openFromMenu(0);

    ASSERT_EQ(sources.downloads.size(), 1u);
    EXPECT_EQ(sources.downloads.at(0).url,
              QStringLiteral("https://files.example.org/share/remote.kdb"));
    EXPECT_EQ(sources.downloads.at(0).fileName, QStringLiteral("remote.kdb"));
    EXPECT_EQ(stack->count(), 1);
}

TEST_F(LoginFlow, DownloadUnderAnotherNameReportsTheFileMissing) {
    addRecord(QStringLiteral("Remote"), QStringLiteral("local-name.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeHttpDownload, 0,
              QStringLiteral("https://files.example.org/remote.kdb"));
    sources.downloader = [this](const RecordingSources::Download& download) {
        installDatabase(testDatabasePath(), download.fileName);
        return true;
    };
    openFromMenu(0);

    ASSERT_EQ(shownPanels.size(), 1u);
    EXPECT_EQ(shownPanels.at(0).title, notFound);
    EXPECT_EQ(shownPanels.at(0).subtitle, syncAgain);
    EXPECT_FALSE(modalPresenter->isPresenting());
}

TEST_F(LoginFlow, FailedDownloadStopsWithoutAMessageOfItsOwn) {
    addRecord(QStringLiteral("Remote"), QStringLiteral("remote.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeHttpDownload, 0,
              QStringLiteral("https://files.example.org/remote.kdb"));
    openFromMenu(0);

    EXPECT_EQ(sources.downloads.size(), 1u);
    EXPECT_TRUE(shownPanels.empty());
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_EQ(stack->count(), 0);
}

TEST_F(LoginFlow, MissingUploadAsksForAnotherSync) {
    addRecord(QStringLiteral("Upload"), QStringLiteral("upload.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 0);
    openFromMenu(0);

    ASSERT_EQ(shownPanels.size(), 1u);
    EXPECT_EQ(shownPanels.at(0).title, notFound);
    EXPECT_EQ(shownPanels.at(0).subtitle, syncAgain);
    EXPECT_TRUE(sources.downloads.empty());
    EXPECT_FALSE(modalPresenter->isPresenting());
}

TEST_F(LoginFlow, DropboxRecordSyncsWhenReachableAndUsesTheLocalCopyOtherwise) {
    installDatabase(testDatabasePath(), QStringLiteral("box.kdb"));
    auto record = addRecord(QStringLiteral("Box"), QStringLiteral("box.kdb"),
                            vaultora::base::DatabaseRecord::SyncTypeDropbox, 0);
    sources.reachable = true;
    openFromMenu(0);
    ASSERT_EQ(sources.dropboxSyncs.size(), 1u);
    EXPECT_EQ(sources.dropboxSyncs.at(0), record);
    EXPECT_FALSE(modalPresenter->isPresenting()) << "the flow waits for the sync";

    sources.reachable = false;
    openFromMenu(0);
    EXPECT_EQ(sources.dropboxSyncs.size(), 1u);
    EXPECT_NE(presentedLoginForm(), nullptr);
}

TEST_F(LoginFlow, RecordOfNoKnownTypeOpensNothing) {
    installDatabase(testDatabasePath(), QStringLiteral("odd.kdb"));
    addRecord(QStringLiteral("Odd"), QStringLiteral("odd.kdb"), 2, 1);
    openFromMenu(0);

    EXPECT_TRUE(shownPanels.empty());
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(sources.downloads.empty());
}

TEST_F(LoginFlow, SecondDatabaseOpensToTheRightAndBothStay) {
    addTestDatabase();
    installDatabase(testDatabasePath(), QStringLiteral("copy.kdb"));
    addRecord(QStringLiteral("Copy"), QStringLiteral("copy.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 1);
    keychain.store(QStringLiteral("https://example.org/copy.kdb"), QStringLiteral("tulipfox"));
    openFromMenu(0);
    openFromMenu(1);

    ASSERT_EQ(stack->count(), 2);
    EXPECT_EQ(browserAt(0)->serverDetail()->databaseName(), QStringLiteral("test_database.kdb"));
    EXPECT_EQ(browserAt(1)->serverDetail()->databaseName(), QStringLiteral("copy.kdb"));
    EXPECT_NE(browserAt(0)->treeDatabase(), browserAt(1)->treeDatabase());
}

TEST_F(LoginFlow, DropboxSyncEndingAfterALockOpensNothing) {
    installDatabase(testDatabasePath(), QStringLiteral("box.kdb"));
    addRecord(QStringLiteral("Box"), QStringLiteral("box.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeDropbox, 1);
    keychain.store(QStringLiteral("https://example.org/box.kdb"), QStringLiteral("tulipfox"));
    sources.reachable = true;
    openFromMenu(0);
    ASSERT_EQ(sources.dropboxFlows.size(), 1u);
    QPointer<vaultora::ui::DatabaseOpenFlow> waiting = sources.dropboxFlows.at(0);
    ASSERT_FALSE(waiting.isNull());

    delegate->applicationDidEnterBackground();
    EXPECT_FALSE(waiting->openLocalCopy()) << "the sync's continuation finds the flow cancelled";
    EXPECT_FALSE(progressOverlay->isVisible());
    EXPECT_FALSE(modalPresenter->isPresenting());
    runDeferredDeletes();
    EXPECT_TRUE(waiting.isNull());
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(shownPanels.empty());
}

} // namespace
