// A Dropbox record made in the running application's settings screens, against the local
// stand-in of the service: added in the database list, its file chosen in the picker, saved
// (which downloads the file), opened from the menu through the synchroniser with the saved
// password, and the account unlinked again.
#include "DropboxTestService.h"
#include "ScreenTestSupport.h"

#include "app/ApplicationController.h"
#include "app/PasswordStore.h"
#include "base/AppConfiguration.h"
#include "base/DatabaseRecord.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "kdb/DatabaseModel.h"
#include "launch/ScreenLaunchParts.h"
#include "net/Reachability.h"
#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxSession.h"
#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseListScreen.h"
#include "ui/DropboxFilePicker.h"
#include "ui/GroupBrowser.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vaultora::test::screens;
using vaultora::net::Reachability;
using vaultora::sync::DropboxClient;
using vaultora::sync::DropboxSession;
using vaultora::test::http::DropboxTestService;

namespace {

constexpr int answerTimeout = 30000;

QQuickItem* findVisibleItemWithText(QQuickItem* item, const QString& text) {
    if (!item->isVisible())
        return nullptr;
    QQuickItem* found = nullptr;
    if (item->property("text").toString() == text && item->width() > 0 && item->height() > 0)
        found = item;
    const auto children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* inChild = findVisibleItemWithText(child, text))
            found = inChild;
    }
    return found;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject readJson(const QString& path) {
    return QJsonDocument::fromJson(readFile(path)).object();
}

vaultora::toolkit::FormRow* rowLabelled(const vaultora::toolkit::FormPanel& panel,
                                        const QString& label) {
    if (panel.form() == nullptr)
        return nullptr;
    for (vaultora::toolkit::FormSection* section : panel.form()->sections())
        for (vaultora::toolkit::FormRow* row : section->rows())
            if (row->label() == label)
                return row;
    return nullptr;
}

QStringList rowLabels(const vaultora::toolkit::FormPanel& panel) {
    QStringList labels;
    if (panel.form() != nullptr)
        for (vaultora::toolkit::FormSection* section : panel.form()->sections())
            for (vaultora::toolkit::FormRow* row : section->rows())
                labels.append(row->label());
    return labels;
}

// The loopback service counts as reachable while the test runs.
class ForcedReachability {
public:
    ForcedReachability() {
        vaultora::net::Reachability::setForcedStatusForTesting(
            vaultora::net::Reachability::ReachableViaWiFi);
    }
    ~ForcedReachability() { vaultora::net::Reachability::setForcedStatusForTesting(std::nullopt); }
    ForcedReachability(const ForcedReachability&) = delete;
    ForcedReachability& operator=(const ForcedReachability&) = delete;
};

TEST(DropboxEndToEnd, RecordAddedInSettingsIsDownloadedOnSaveAndOpensFromTheMenu) {
    const QString fixture = sourcePath(QStringLiteral("tests/fixtures/kdbxweb/gzip-salsa20"));
    const QByteArray database = readFile(fixture + QStringLiteral(".kdbx"));
    ASSERT_FALSE(database.isEmpty());
    const QString masterPassword = readJson(fixture + QStringLiteral(".facts.json"))
                                       .value(QStringLiteral("password"))
                                       .toString();
    ASSERT_FALSE(masterPassword.isEmpty());

    DropboxTestService service;
    ASSERT_TRUE(service.isReady()) << "the test service did not start";
    // Older than the copy the save downloads, so the opening keeps that copy.
    const QDateTime served = QDateTime::currentDateTimeUtc().addDays(-1);
    service.addFile(QStringLiteral("/Databases/vault.kdbx"), database, served);
    service.addFile(QStringLiteral("/readme.txt"), "not a database", served);
    ForcedReachability reachability;

    QTemporaryDir documents;
    QTemporaryDir sessionSettings;
    ScopedMemoryKeychain keychain;
    auto owned = std::make_unique<vaultora::launch::ScreenLaunchParts>();
    vaultora::launch::ScreenLaunchParts* parts = owned.get();
    parts->setDropboxService(service.configuration(),
                             sessionSettings.filePath(QStringLiteral("dropbox.ini")));
    vaultora::app::ApplicationController delegate(std::move(owned), documents.path());
    ASSERT_TRUE(delegate.didFinishLaunchingWithOptions());
    vaultora::ui::IdleWatchingWindow* window = parts->window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    // The picker needs a linked account; the session takes the token of a login.
    DropboxSession* session = DropboxSession::sharedSession();
    ASSERT_NE(session, nullptr);
    ASSERT_FALSE(session->isLinked());
    {
        DropboxClient login(*session);
        login.loginWithEmail(DropboxTestService::Email, DropboxTestService::Password);
        ASSERT_TRUE(QTest::qWaitFor([session] { return session->isLinked(); }, answerTimeout));
    }

    QStringList panelTitles;
    QObject listening;
    vaultora::toolkit::TransientPanelHost* panels = parts->services().transientPanels;
    QObject::connect(panels, &QAbstractItemModel::rowsInserted, &listening,
                     [&](const QModelIndex&, int first, int) {
                         panelTitles.append(panels->panels().at(first)->title());
                     });
    int announcements = 0;
    vaultora::base::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged), &listening,
        [&announcements](const vaultora::base::Notification&) { ++announcements; });

    // Settings, database list, "Add", then "Dropbox" as the type.
    vaultora::ui::MainMenu* menu = parts->menu();
    vaultora::toolkit::StackController* stack = parts->services().stack;
    menu->tableViewDidSelectRowAtIndexPath(
        vaultora::ui::MainMenu::SettingsSection,
        static_cast<int>(vaultora::ui::MainMenu::SettingsScreen::DatabaseList));
    auto* settings = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
    ASSERT_NE(settings, nullptr);
    auto* list = qobject_cast<vaultora::ui::DatabaseListScreen*>(settings->rootPanel());
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->rightBarButton(), nullptr);
    const std::size_t recordsBefore = delegate.serverArray().size();
    list->rightBarButton()->press();
    auto* details = qobject_cast<vaultora::ui::DatabaseDetailsScreen*>(settings->topPanel());
    ASSERT_NE(details, nullptr);
    ASSERT_EQ(delegate.serverArray().size(), recordsBefore + 1);
    const std::shared_ptr<vaultora::base::DatabaseRecord> record = delegate.serverArray().back();
    ASSERT_NE(details->databaseType(), nullptr);
    details->databaseType()->choose(vaultora::ui::DatabaseDetailsScreen::DropboxPosition);
    ASSERT_NE(rowLabelled(*details, QStringLiteral("File name")), nullptr);
    ASSERT_NE(rowLabelled(*details, QStringLiteral("Unlink")), nullptr);

    // The picker lists the service's root, then the folder, and hands the file back.
    rowLabelled(*details, QStringLiteral("File name"))->select();
    using Picker = vaultora::ui::DropboxFilePicker;
    auto* top = qobject_cast<Picker*>(settings->topPanel());
    ASSERT_NE(top, nullptr) << "panels: " << panelTitles.join(QStringLiteral(" | ")).toStdString();
    ASSERT_TRUE(QTest::qWaitFor([top] { return !rowLabels(*top).isEmpty(); }, answerTimeout));
    EXPECT_EQ(rowLabels(*top), QStringList({"Databases", "readme.txt"}));
    rowLabelled(*top, QStringLiteral("Databases"))->select();
    auto* folder = qobject_cast<Picker*>(settings->topPanel());
    ASSERT_NE(folder, nullptr);
    ASSERT_NE(folder, top);
    ASSERT_TRUE(QTest::qWaitFor([folder] { return !rowLabels(*folder).isEmpty(); }, answerTimeout));
    EXPECT_EQ(rowLabels(*folder), QStringList({"vault.kdbx"}));
    rowLabelled(*folder, QStringLiteral("vault.kdbx"))->select();
    ASSERT_EQ(settings->topPanel(), details) << "choosing a file returns to the details";
    EXPECT_EQ(record->serverUrl(), QStringLiteral("/Databases/vault.kdbx"));
    EXPECT_EQ(record->databaseName(), QStringLiteral("vault.kdbx"));
    ASSERT_NE(rowLabelled(*details, QStringLiteral("File name")), nullptr);
    EXPECT_EQ(rowLabelled(*details, QStringLiteral("File name"))->text(),
              QStringLiteral("vault.kdbx"));

    // Save keeps the password, downloads the file and announces the change.
    rowLabelled(*details, QStringLiteral("Display Name"))->enterText(QStringLiteral("Cloud vault"));
    rowLabelled(*details, QStringLiteral("Password"))->enterText(masterPassword);
    announcements = 0;
    rowLabelled(*details, QStringLiteral("Save"))->select();
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(record->syncType(), vaultora::base::DatabaseRecord::SyncTypeDropbox);
    EXPECT_EQ(record->savePassword(), 1);
    const auto stored = vaultora::app::PasswordStore::getPasswordForUsername(
        record->serverUrl(),
        QString::fromLatin1(vaultora::base::AppConfiguration::passwordStoreService));
    ASSERT_TRUE(stored.has_value());
    const QByteArray expectedBytes = masterPassword.toUtf8();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(stored->data()),
                         static_cast<qsizetype>(stored->size())),
              expectedBytes);
    const QString local =
        delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("vault.kdbx"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return readFile(local) == database; }, answerTimeout))
        << "the file was not downloaded; panels: "
        << panelTitles.join(QStringLiteral(" | ")).toStdString();
    const QByteArray registry = readFile(delegate.registryFilePath());
    EXPECT_TRUE(registry.contains("Cloud vault"));
    EXPECT_TRUE(registry.contains("/Databases/vault.kdbx"));
    EXPECT_EQ(service.requests().filter(QStringLiteral("/0/files/")).size(), 1);

    // Back to the menu ("Ok"), which now shows the record; choosing it runs the sync.
    ASSERT_EQ(settings->topPanel(), list);
    list->tableViewDidSelectRowAtIndexPath(vaultora::ui::DatabaseListScreen::OkSection, 0);
    ASSERT_TRUE(QTest::qWaitFor([stack] { return stack->count() == 0; }, answerTimeout));
    QQuickItem* row = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            row = findVisibleItemWithText(window->contentItem(), QStringLiteral("Cloud vault"));
            return row != nullptr;
        },
        answerTimeout));
    const QString fileMetadata = QStringLiteral("/0/metadata/dropbox/Databases/vault.kdbx");
    const int metadataBefore = service.requests().filter(fileMetadata).size();
    QSignalSpy stackChanges(stack, &vaultora::toolkit::StackController::countChanged);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                      row->mapToScene(QPointF(row->width() / 2, row->height() / 2)).toPoint());
    ASSERT_TRUE(stack->count() == 1 || stackChanges.wait(answerTimeout))
        << "the database did not open; panels: "
        << panelTitles.join(QStringLiteral(" | ")).toStdString();
    ASSERT_EQ(stack->count(), 1);
    EXPECT_EQ(service.requests().filter(fileMetadata).size(), metadataBefore + 1);
    EXPECT_EQ(service.requests().filter(QStringLiteral("/0/files/")).size(), 1)
        << "an older copy on the service is not downloaded again";
    EXPECT_EQ(readFile(local), database);

    // The browser shows the root group of the file.
    auto* opened = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
    ASSERT_NE(opened, nullptr);
    auto* browser = qobject_cast<vaultora::ui::GroupBrowser*>(opened->topPanel());
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(browser->treeDatabase(), nullptr);
    ASSERT_EQ(browser->groupDatabase(), browser->treeDatabase()->getRoot());
    QStringList expectedGroups;
    const QJsonArray groups = readJson(fixture + QStringLiteral(".json"))
                                  .value(QStringLiteral("root"))
                                  .toObject()
                                  .value(QStringLiteral("groups"))
                                  .toArray();
    for (const QJsonValue& group : groups)
        expectedGroups.append(group.toObject().value(QStringLiteral("name")).toString());
    QStringList shownGroups;
    for (const vaultora::kdb::DatabaseGroup* group : browser->groupDatabase()->getSubGroups())
        shownGroups.append(QString::fromUtf8(group->getGroupName()));
    ASSERT_FALSE(expectedGroups.isEmpty());
    EXPECT_EQ(shownGroups, expectedGroups);

    // The record's details offer "Unlink", which forgets the account.
    menu->tableViewDidSelectRowAtIndexPath(
        vaultora::ui::MainMenu::SettingsSection,
        static_cast<int>(vaultora::ui::MainMenu::SettingsScreen::DatabaseList));
    settings = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
    ASSERT_NE(settings, nullptr);
    list = qobject_cast<vaultora::ui::DatabaseListScreen*>(settings->rootPanel());
    ASSERT_NE(list, nullptr);
    list->tableViewDidSelectRowAtIndexPath(vaultora::ui::DatabaseListScreen::DatabasesSection,
                                           static_cast<int>(delegate.serverArray().size() - 1));
    details = qobject_cast<vaultora::ui::DatabaseDetailsScreen*>(settings->topPanel());
    ASSERT_NE(details, nullptr);
    ASSERT_NE(rowLabelled(*details, QStringLiteral("Unlink")), nullptr);
    rowLabelled(*details, QStringLiteral("Unlink"))->select();
    EXPECT_FALSE(session->isLinked());
    EXPECT_TRUE(panelTitles.contains(QStringLiteral("Account Unlinked!")));
}

} // namespace
