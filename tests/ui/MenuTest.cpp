#include "ScreenTestSupport.h"

#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/ArtworkPainter.h"
#include "ui/DatabaseOpenFlow.h"
#include "ui/GroupBrowser.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/FormPanel.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

using namespace vaultora::test::screens;
using namespace std::chrono_literals;

namespace {

class Menu : public ScreenTest {
protected:
    [[nodiscard]] QStringList sectionRows(int section) const {
        QStringList rows;
        for (int row = 0; row < menu->list()->rowCountInSection(section); ++row) {
            rows.append(menu->list()->row(section, row).title);
        }
        return rows;
    }

    void postIdle() {
        vaultora::base::NotificationCenter::defaultCenter().post(
            QString::fromLatin1(vaultora::base::Notifications::windowIdle));
    }

    // Lets a load that was left running end and delivers whatever it posted.
    void settleAbandonedLoads() const {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        runDeferredDeletes();
        runDeferredDeletes();
    }

    // The menu rows drawn highlighted, as "section/row".
    [[nodiscard]] QStringList highlightedRows() const {
        QStringList highlighted;
        vaultora::toolkit::ListPanelModel* model = menu->list();
        for (int item = 0; item < model->rowCount(); ++item) {
            const QModelIndex index = model->index(item);
            if (model->data(index, vaultora::toolkit::ListPanelModel::SelectedRole).toBool()) {
                highlighted
                    << QStringLiteral("%1/%2")
                           .arg(model->data(index, vaultora::toolkit::ListPanelModel::SectionRole)
                                    .toInt())
                           .arg(model->data(index, vaultora::toolkit::ListPanelModel::RowRole)
                                    .toInt());
            }
        }
        return highlighted;
    }

    // Opens the sample database and a second panel to its right.
    void openTwoPanels() {
        addTestDatabase();
        openFromMenu(0);
        vaultora::ui::GroupBrowser* root = browserAt(0);
        root->list()->tap(1);
        root->list()->tap(1);
        ASSERT_EQ(stack->count(), 2);
    }
};

TEST_F(Menu, HasThreeSectionsAndFollowsTheRegistryWhenAnnounced) {
    QAbstractItemModelTester tester(menu->list(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(menu->list()->sectionCount(), 3);
    EXPECT_TRUE(sectionRows(0).isEmpty()) << "an empty registry lists no database";
    EXPECT_EQ(sectionRows(1), QStringList({"Databases", "Settings", "Help", "About"}));
    EXPECT_EQ(sectionRows(2), QStringList({"Logout"}));
    EXPECT_EQ(menu->list()->row(1, 0).imageName, QStringLiteral("33-cabinet.png"));
    EXPECT_EQ(menu->list()->row(1, 1).imageName, QStringLiteral("19-gear.png"));
    EXPECT_EQ(menu->list()->row(1, 2).imageName, QStringLiteral("79-medical-bag.png"));
    EXPECT_EQ(menu->list()->row(1, 3).imageName, QStringLiteral("60-signpost.png"));
    EXPECT_EQ(menu->list()->row(2, 0).imageName, QStringLiteral("54-lock.png"));

    addRecord(QStringLiteral("First"), QStringLiteral("first.kdb"), 1, 0);
    auto quiet = std::make_shared<vaultora::base::DatabaseRecord>();
    quiet->setServerDisplayName(QStringLiteral("Unannounced"));
    delegate->serverArray().push_back(quiet);
    EXPECT_EQ(sectionRows(0), QStringList({"First"}));
    EXPECT_EQ(menu->list()->row(0, 0).imageName, QStringLiteral("44-shoebox-download"));
    ASSERT_EQ(menu->cellContents().size(), 1);
    EXPECT_EQ(menu->cellContents().at(0).dataBaseFileName, QStringLiteral("first.kdb"));

    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    EXPECT_EQ(sectionRows(0), QStringList({"First", "Unannounced"}));
}

TEST_F(Menu, DatabaseRowIconsShowWhereEachFileComesFrom) {
    using Record = vaultora::base::DatabaseRecord;
    addRecord(QStringLiteral("Downloaded"), QStringLiteral("web.kdbx"),
              Record::SyncTypeHttpDownload, 0);
    addRecord(QStringLiteral("Cloud"), QStringLiteral("cloud.kdbx"), Record::SyncTypeDropbox, 0);
    const auto uploaded = addRecord(QStringLiteral("Uploaded"), QStringLiteral("desk.kdb"),
                                    Record::SyncTypeWebServer, 0);
    addRecord(QStringLiteral("Unknown"), QStringLiteral("odd.kdb"), 7, 0);
    const auto iconsOfRows = [this] {
        QStringList icons;
        for (int row = 0; row < menu->list()->rowCountInSection(0); ++row) {
            icons.append(menu->list()->row(0, row).imageName);
        }
        return icons;
    };
    EXPECT_EQ(iconsOfRows(), QStringList({"44-shoebox-download", "44-shoebox-dropbox",
                                          "44-shoebox-upload", "44-shoebox"}));
    for (const QString& icon : iconsOfRows()) {
        EXPECT_FALSE(vaultora::ui::ArtworkPainter::paint(QStringLiteral("tinted/") + icon).isNull())
            << icon.toStdString() << " has a drawing";
    }

    // A record whose source is changed in its details shows its new source once announced.
    uploaded->setSyncType(Record::SyncTypeHttpDownload);
    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    EXPECT_EQ(menu->list()->row(0, 2).imageName, QStringLiteral("44-shoebox-download"));
}

TEST_F(Menu, RowPastTheEndOfTheRegistryOpensNothing) {
    addTestDatabase();
    delegate->serverArray().clear();
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
    awaitOpenings();
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(shownPanels.empty());
}

TEST_F(Menu, AStaleRowOpensItsOwnRecordOrNothingButNeverANeighbour) {
    // Kept alive here, so only its absence from the registry tells that it has gone.
    const auto gone = addTestDatabase();
    auto second = addTestDatabase();
    second->setServerDisplayName(QStringLiteral("Second"));
    auto& registry = delegate->serverArray();
    // The first record leaves the registry without a word: its row stays for now.
    registry.erase(registry.begin());
    ASSERT_EQ(sectionRows(0), QStringList({"Test database", "Test database"}));
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
    awaitOpenings();
    EXPECT_EQ(stack->count(), 0) << "the row of a record that has gone opens nothing";
    EXPECT_EQ(sectionRows(0), QStringList({"Second"})) << "and the rows catch up";

    // A record put in front without a word: the row still opens the record it stands for.
    auto third = addTestDatabase();
    registry.pop_back();
    registry.insert(registry.begin(), third);
    third->setServerDisplayName(QStringLiteral("Third"));
    ASSERT_EQ(sectionRows(0), QStringList({"Second", "Test database"}));
    openFromMenu(0);
    ASSERT_EQ(stack->count(), 1);
    EXPECT_EQ(browserAt(0)->serverDetail(), second);
    EXPECT_EQ(browserAt(0)->title(), QStringLiteral("Second"));
}

TEST_F(Menu, SettingsRowsOpenTheirScreenToTheRightWhereOneExists) {
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 1);
    EXPECT_EQ(stack->count(), 0) << "no screen until the settings screens are attached";

    std::vector<vaultora::ui::MainMenu::SettingsScreen> asked;
    menu->setSettingsScreenFactory([&asked](vaultora::ui::MainMenu::SettingsScreen screen)
                                       -> std::unique_ptr<vaultora::toolkit::Panel> {
        asked.push_back(screen);
        if (screen == vaultora::ui::MainMenu::SettingsScreen::Help) {
            return nullptr;
        }
        return std::make_unique<vaultora::toolkit::FormPanel>(
            std::make_unique<vaultora::toolkit::FormModel>(QStringLiteral("Settings")));
    });
    openTwoPanels();
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 1);
    ASSERT_EQ(stack->count(), 3) << "the database panels stay";
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 2);
    EXPECT_EQ(stack->count(), 3);
    EXPECT_EQ(asked, (std::vector{vaultora::ui::MainMenu::SettingsScreen::ApplicationSettings,
                                  vaultora::ui::MainMenu::SettingsScreen::Help}));
}

TEST_F(Menu, ARowStaysHighlightedOnlyWhileThePanelItOpenedIsShown) {
    menu->setSettingsScreenFactory(
        [](vaultora::ui::MainMenu::SettingsScreen) -> std::unique_ptr<vaultora::toolkit::Panel> {
            return std::make_unique<vaultora::toolkit::FormPanel>(
                std::make_unique<vaultora::toolkit::FormModel>(QStringLiteral("Settings")));
        });
    openTwoPanels();
    EXPECT_EQ(highlightedRows(), QStringList{"0/0"});

    tapMenu(vaultora::ui::MainMenu::SettingsSection, 1);
    ASSERT_EQ(stack->count(), 3);
    EXPECT_EQ(highlightedRows(), QStringList{"1/1"});
    stack->popTopPanel(vaultora::toolkit::Animated::Yes);
    EXPECT_TRUE(highlightedRows().isEmpty()) << "its panel closed, the database's is not its own";

    // A panel closed after a later tap leaves that tap's row alone.
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 1);
    vaultora::toolkit::Panel* settings = stack->topPanel();
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 3);
    EXPECT_EQ(highlightedRows(), QStringList{"1/3"});
    stack->popTopPanel(vaultora::toolkit::Animated::Yes);
    stack->popPanel(settings, vaultora::toolkit::Animated::Yes);
    EXPECT_TRUE(highlightedRows().isEmpty());

    tapMenu(vaultora::ui::MainMenu::LogoutSection, 0);
    EXPECT_TRUE(highlightedRows().isEmpty()) << "logout opens nothing to stay highlighted for";
}

TEST_F(Menu, AnOpenThatFailsOrIsCancelledLeavesNoRowHighlighted) {
    addTestDatabase(false);
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
    ASSERT_NE(presentedLoginForm(), nullptr);
    EXPECT_EQ(highlightedRows(), QStringList{"0/0"}) << "highlighted while the form asks";
    pressFormButton(QStringLiteral("Cancel"));
    awaitOpenings();
    // The flow ends when the closed form is gone.
    runDeferredDeletes();
    EXPECT_TRUE(highlightedRows().isEmpty());

    delegate->serverArray().clear();
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
    EXPECT_TRUE(highlightedRows().isEmpty()) << "a row past the registry's end opens nothing";
}

TEST_F(Menu, LogoutClosesEveryPanelAndReleasesTheTree) {
    openTwoPanels();
    std::weak_ptr<vaultora::kdb::DatabaseTree> tree = browserAt(0)->treeDatabase();
    // The search index holds folded copies of the names and comments.
    std::weak_ptr<const vaultora::ui::SearchIndex> index = browserAt(0)->searchIndex();
    EXPECT_FALSE(index.expired());
    tapMenu(vaultora::ui::MainMenu::LogoutSection, 0);
    EXPECT_EQ(stack->count(), 0);
    runDeferredDeletes();
    EXPECT_TRUE(tree.expired());
    EXPECT_TRUE(index.expired());
    EXPECT_TRUE(shownPanels.empty());

    tapMenu(vaultora::ui::MainMenu::LogoutSection, 0);
    EXPECT_TRUE(shownPanels.empty()) << "logout with nothing open shows nothing";
}

TEST_F(Menu, IdleLogoutClosesEverythingAndSaysWhy) {
    openTwoPanels();
    std::weak_ptr<vaultora::kdb::DatabaseTree> tree = browserAt(0)->treeDatabase();
    std::weak_ptr<const vaultora::ui::SearchIndex> index = browserAt(0)->searchIndex();
    postIdle();
    EXPECT_EQ(stack->count(), 0);
    ASSERT_EQ(shownPanels.size(), 1u);
    EXPECT_EQ(shownPanels.at(0).title, QStringLiteral("Auto timeout"));
    EXPECT_EQ(shownPanels.at(0).subtitle, QStringLiteral("see settings dialog"));
    EXPECT_EQ(shownPanels.at(0).style, vaultora::toolkit::TransientPanel::Style::Information);
    vaultora::toolkit::TransientPanel* notice = transientPanels->panels().constLast();
    timers->advance(1999ms);
    EXPECT_FALSE(notice->isHidden());
    timers->advance(1ms);
    EXPECT_TRUE(notice->isHidden());
    runDeferredDeletes();
    EXPECT_TRUE(tree.expired());
    EXPECT_TRUE(index.expired());

    postIdle();
    EXPECT_EQ(shownPanels.size(), 1u) << "with nothing open nothing is shown";
}

TEST_F(Menu, IdleLogoutNeedsAPositiveIdleTime) {
    openTwoPanels();
    delegate->appSettings().setIAutoLogoutTimer(0);
    postIdle();
    delegate->appSettings().setIAutoLogoutTimer(-3);
    postIdle();
    EXPECT_EQ(stack->count(), 2);
    EXPECT_TRUE(shownPanels.empty());

    delegate->appSettings().setBAutoLogout(false);
    delegate->appSettings().setIAutoLogoutTimer(1);
    postIdle();
    EXPECT_EQ(stack->count(), 0) << "the Auto Logout switch does not stop it";
}

TEST_F(Menu, BackgroundClosesPanelsAndAnOpenPasswordFormWithoutTouchingTheStore) {
    openTwoPanels();
    installDatabase(testDatabasePath(), QStringLiteral("other.kdb"));
    addRecord(QStringLiteral("Other"), QStringLiteral("other.kdb"),
              vaultora::base::DatabaseRecord::SyncTypeWebServer, 0);
    openFromMenu(1);
    vaultora::ui::PasswordForm* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    vaultora::toolkit::FormRow* password = form->form()->rowForKey(QStringLiteral("password"));
    password->enterText(QStringLiteral("half typed"));
    QPointer<vaultora::ui::DatabaseOpenFlow> pending = form->openFlow();

    delegate->applicationDidEnterBackground();
    EXPECT_EQ(stack->count(), 0);
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_FALSE(password->value().isValid()) << "the typed password is cleared";
    runDeferredDeletes();
    runDeferredDeletes();
    EXPECT_TRUE(pending.isNull());
    EXPECT_EQ(keychain.backend().items.size(), 1u);
}

TEST_F(Menu, LeavingTheAppWhileTheSavedPasswordLoadsCancelsTheOpen) {
    addTestDatabase();
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
    ASSERT_TRUE(progressOverlay->isVisible());

    delegate->applicationDidEnterBackground();
    EXPECT_FALSE(progressOverlay->isVisible());
    settleAbandonedLoads();
    EXPECT_EQ(stack->count(), 0) << "the loaded tree is not shown after the lock";
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_TRUE(shownPanels.empty());
}

TEST_F(Menu, IdleLogoutWhileATypedPasswordLoadsClosesTheFormAndOpensNothing) {
    addTestDatabase(false);
    openFromMenu(0);
    vaultora::ui::PasswordForm* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    QPointer<vaultora::ui::DatabaseOpenFlow> pending = form->openFlow();
    vaultora::toolkit::FormRow* password = form->form()->rowForKey(QStringLiteral("password"));
    password->enterText(QStringLiteral("tulipfox"));
    pressFormButton(QStringLiteral("Login"));
    ASSERT_TRUE(progressOverlay->isVisible());

    postIdle();
    EXPECT_FALSE(progressOverlay->isVisible());
    EXPECT_FALSE(modalPresenter->isPresenting());
    EXPECT_FALSE(password->value().isValid()) << "the typed password is cleared";
    settleAbandonedLoads();
    EXPECT_EQ(stack->count(), 0);
    EXPECT_TRUE(pending.isNull());
    EXPECT_EQ(shownTitles(), QStringList({QStringLiteral("Auto timeout")}));
}

// Every way of locking against every local way of opening: the lock wins each time, nothing
// is left over the menu, and the menu opens the database again afterwards.
enum class Lock { LogoutRow, Idle, Background };
enum class OpenPath { TypedPassword, SavedPassword };

class LockDuringOpen : public Menu,
                       public ::testing::WithParamInterface<std::tuple<Lock, OpenPath>> {
protected:
    void lock(Lock how) {
        switch (how) {
        case Lock::LogoutRow:
            tapMenu(vaultora::ui::MainMenu::LogoutSection, 0);
            break;
        case Lock::Idle:
            postIdle();
            break;
        case Lock::Background:
            delegate->applicationDidEnterBackground();
            break;
        }
    }

    // Starts the open and leaves it loading on the worker.
    void startLoading(OpenPath path) {
        if (path == OpenPath::SavedPassword) {
            tapMenu(vaultora::ui::MainMenu::DatabasesSection, 0);
            return;
        }
        openFromMenu(0);
        vaultora::ui::PasswordForm* form = presentedLoginForm();
        ASSERT_NE(form, nullptr);
        form->form()->rowForKey(QStringLiteral("password"))->enterText(QStringLiteral("tulipfox"));
        pressFormButton(QStringLiteral("Login"));
    }
};

TEST_P(LockDuringOpen, TheLockWinsAndTheMenuStaysUsable) {
    const auto [how, path] = GetParam();
    addTestDatabase(path == OpenPath::SavedPassword);
    startLoading(path);
    ASSERT_TRUE(progressOverlay->isVisible());

    lock(how);
    EXPECT_FALSE(progressOverlay->isVisible());
    EXPECT_FALSE(modalPresenter->isPresenting());
    settleAbandonedLoads();
    EXPECT_EQ(stack->count(), 0) << "the loaded tree is not shown after the lock";
    EXPECT_FALSE(modalPresenter->isPresenting());

    startLoading(path);
    ASSERT_TRUE(progressOverlay->isVisible()) << "the menu opens the database again";
    awaitOpenings();
    EXPECT_EQ(stack->count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLockAndOpenPath, LockDuringOpen,
    ::testing::Combine(::testing::Values(Lock::LogoutRow, Lock::Idle, Lock::Background),
                       ::testing::Values(OpenPath::TypedPassword, OpenPath::SavedPassword)));

} // namespace
