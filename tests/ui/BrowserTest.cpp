#include "ScreenTestSupport.h"

#include "ui/EntryScreen.h"
#include "ui/EntrySearch.h"
#include "ui/GroupBrowser.h"
#include "ui/toolkit/NavigationContainer.h"

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"
#include "tests/kdb/support/DeepGroupChain.h"

#include <QAbstractItemModelTester>

using namespace vaultora::test::screens;
using namespace std::chrono_literals;

namespace {

class Browser : public ScreenTest {
protected:
    // Opens the sample database and returns its root panel.
    vaultora::ui::GroupBrowser* openTestDatabase() {
        addTestDatabase();
        openFromMenu(0);
        EXPECT_EQ(stack->count(), 1);
        return browserAt(0);
    }

    static QStringList rowTitles(const vaultora::ui::GroupBrowser& panel) {
        QStringList titles;
        const vaultora::toolkit::ListPanelModel* model = panel.list();
        for (int row = 0; row < model->rowCountInSection(0); ++row) {
            titles.append(model->row(0, row).title);
        }
        return titles;
    }

    static int rowOf(const vaultora::ui::GroupBrowser& panel, const QString& title) {
        return static_cast<int>(rowTitles(panel).indexOf(title));
    }

    static void search(vaultora::ui::GroupBrowser& panel, const QString& text) {
        panel.list()->beginSearchEditing();
        panel.list()->editSearchText(text);
    }

    void tap(vaultora::ui::GroupBrowser& panel, int row) { panel.list()->tap(row); }

    // The panel on top of the container that holds the stacked panel.
    vaultora::toolkit::Panel* containerTop(int stackIndex) const {
        auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(
            stack->viewControllers().at(stackIndex));
        return container != nullptr ? container->topPanel() : nullptr;
    }
};

TEST_F(Browser, RootRowsAreSpacerSubgroupsThenEntries) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    QAbstractItemModelTester tester(root->list(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    EXPECT_EQ(rowTitles(*root), QStringList({"", "Internet", "eMail", "Banking", "Backup"}));
    EXPECT_EQ(root->numberOfRows(), 5);
    const vaultora::toolkit::ListRow spacer = root->list()->row(0, 0);
    EXPECT_TRUE(spacer.imageName.isEmpty());
    const vaultora::toolkit::ListRow internet = root->list()->row(0, 1);
    EXPECT_EQ(internet.imageName, QStringLiteral("1.png"));
    EXPECT_EQ(internet.accessory, vaultora::toolkit::ListAccessory::DisclosureIndicator);
    EXPECT_TRUE(root->list()->isSearchFieldVisible());
    // The first panel of a database is titled with the record's name, not with its root group
    // (which in a version-1 file is the synthetic "$ROOT$").
    EXPECT_EQ(root->title(), QStringLiteral("Test database"));
    EXPECT_EQ(barTitle(root->leftBarButton()), QStringLiteral("Close"));
    EXPECT_EQ(barImage(root->rightBarButton()), QStringLiteral("fullscreen.png"));
}

TEST_F(Browser, SearchMatchesNameUrlAndCommentsButNeverUserNames) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    QAbstractItemModelTester tester(root->list(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    // "Mailing list" has the user name "bankside.reader" and must not be found.
    search(*root, QStringLiteral("BANK"));
    EXPECT_TRUE(root->isSearchActive());
    EXPECT_TRUE(root->list()->showsCancelButton());
    EXPECT_EQ(rowTitles(*root), QStringList({"", "Bank account"}));
    EXPECT_EQ(root->list()->row(0, 1).accessory, vaultora::toolkit::ListAccessory::None);

    // Comments count, and case is folded beyond ASCII.
    search(*root, QStringLiteral("ZÜRICH"));
    EXPECT_EQ(rowTitles(*root), QStringList({"", QStringLiteral("Café Zürich")}));
    search(*root, QStringLiteral("coach 4"));
    EXPECT_EQ(rowTitles(*root), QStringList({"", "Rail pass"}));

    // Results come depth first, across the whole tree below the group.
    search(*root, QStringLiteral("example"));
    EXPECT_EQ(rowTitles(*root),
              QStringList({"", "Example forum", QStringLiteral("Café Zürich"), "Rail pass",
                           "Work mail", "Mailing list", "Bank account"}));

    root->list()->pressSearchButton();
    EXPECT_FALSE(root->list()->showsCancelButton());
    EXPECT_TRUE(root->isSearchActive()) << "the search stays while text remains";

    root->list()->pressCancelButton();
    EXPECT_FALSE(root->isSearchActive());
    EXPECT_TRUE(root->searchResultArray().empty());
    EXPECT_EQ(rowTitles(*root), QStringList({"", "Internet", "eMail", "Banking", "Backup"}));
}

TEST_F(Browser, SearchInASubgroupStaysInsideIt) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Internet"));
    timers->advance(200ms);
    auto* internet = qobject_cast<vaultora::ui::GroupBrowser*>(containerTop(0));
    ASSERT_NE(internet, nullptr);

    // The subgroup's panel searches the index its parent built for the whole tree.
    ASSERT_NE(root->searchIndex(), nullptr);
    EXPECT_EQ(internet->searchIndex(), root->searchIndex());
    search(*internet, QStringLiteral("bank"));
    EXPECT_EQ(rowTitles(*internet), QStringList({""}));
    search(*internet, QStringLiteral("rail"));
    EXPECT_EQ(rowTitles(*internet), QStringList({"", "Rail pass"}));
}

TEST_F(Browser, EntrySearchFollowsTheRulesOnItsOwnTree) {
    auto root = std::make_unique<vaultora::kdb::KeePass1Group>();
    auto addEntry = [](vaultora::kdb::KeePass1Group& group, const char* name, const char* user,
                       const char* url, const char* comments) {
        auto entry = std::make_unique<vaultora::kdb::KeePass1Entry>();
        entry->setEntryName(name);
        entry->setUserName(user);
        entry->setURL(url);
        entry->setComments(comments);
        group.addEntry(std::move(entry));
    };
    addEntry(*root, "Savings", "bank-user", "", "");
    addEntry(*root, "Portal", "", "https://www.MyBank.example/", "");
    addEntry(*root, "Nothing", "", "", "");
    auto child = std::make_unique<vaultora::kdb::KeePass1Group>();
    addEntry(*child, "Loan", "", "", "ask the BANKER");
    root->addSubGroup(std::move(child));
    addEntry(*root, "Bank account", "", "", "");

    std::vector<vaultora::kdb::DatabaseEntry*> results;
    vaultora::ui::EntrySearch(QStringLiteral("bank")).collectMatches(root.get(), results);
    std::vector<std::string> names;
    for (const vaultora::kdb::DatabaseEntry* entry : results) {
        names.emplace_back(entry->getEntryName());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Portal", "Bank account", "Loan"}));

    results.clear();
    vaultora::ui::EntrySearch(QStringLiteral("x")).collectMatches(nullptr, results);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(vaultora::ui::EntrySearch(QStringLiteral("straße")).occursIn("Hauptstraße 1"));
    EXPECT_FALSE(vaultora::ui::EntrySearch(QStringLiteral("bank")).occursIn(""));
}

TEST(EntrySearch, SearchesTwoHundredThousandLevelsOnASmallStack) {
    const auto root = vaultora::kdb::testing::deepGroupChain(200000, "bottom bank");
    std::vector<vaultora::kdb::DatabaseEntry*> results;
    vaultora::kdb::testing::runOnSmallStack([&] {
        vaultora::ui::EntrySearch(QStringLiteral("bank")).collectMatches(root.get(), results);
    });
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front()->getEntryName(), "bottom bank");
}

TEST_F(Browser, SingleTapDrillsDownAfterTheDoubleTapWindow) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Internet"));
    timers->advance(199ms);
    EXPECT_EQ(containerTop(0), root);
    timers->advance(1ms);

    auto* internet = qobject_cast<vaultora::ui::GroupBrowser*>(containerTop(0));
    ASSERT_NE(internet, nullptr);
    EXPECT_EQ(stack->count(), 1);
    EXPECT_FALSE(internet->isStackedView());
    EXPECT_EQ(internet->leftBarButton(), nullptr) << "a drilled-down panel has no Close";
    EXPECT_EQ(internet->title(), QStringLiteral("Internet"));
    EXPECT_EQ(internet->treeDatabase(), root->treeDatabase());
    EXPECT_EQ(rowTitles(*internet),
              QStringList({"", "Travel", "Example forum", QStringLiteral("Café Zürich")}));

    // An entry opens in the same container.
    tap(*internet, rowOf(*internet, "Example forum"));
    timers->advance(200ms);
    auto* entry = qobject_cast<vaultora::ui::EntryScreen*>(containerTop(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->isStackedView());
    EXPECT_EQ(entry->leftBarButton(), nullptr);
}

TEST_F(Browser, DoubleTapOpensToTheRightAndReplacesWhatThatPanelOpenedBefore) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Internet"));
    tap(*root, rowOf(*root, "Internet"));
    ASSERT_EQ(stack->count(), 2);
    auto* internet = browserAt(1);
    ASSERT_NE(internet, nullptr);
    EXPECT_TRUE(internet->isStackedView());
    EXPECT_EQ(barTitle(internet->leftBarButton()), QStringLiteral("Close"));
    EXPECT_EQ(containerTop(0), root);

    // Something opened from the new panel, then a second double tap in the root panel: the
    // root keeps a single panel to its right.
    tap(*internet, rowOf(*internet, "Travel"));
    tap(*internet, rowOf(*internet, "Travel"));
    ASSERT_EQ(stack->count(), 3);
    tap(*root, rowOf(*root, "Banking"));
    tap(*root, rowOf(*root, "Banking"));
    ASSERT_EQ(stack->count(), 2);
    EXPECT_EQ(browserAt(1)->title(), QStringLiteral("Banking"));

    // Two taps on different rows open the second one.
    tap(*root, rowOf(*root, "Internet"));
    tap(*root, rowOf(*root, "Backup"));
    ASSERT_EQ(stack->count(), 2);
    EXPECT_EQ(browserAt(1)->title(), QStringLiteral("Backup"));
    timers->advance(1s);
    EXPECT_EQ(containerTop(0), root) << "no single tap is left pending";
}

TEST_F(Browser, DoubleTappedEntryGetsAPanelWithClose) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Banking"));
    timers->advance(200ms);
    auto* banking = qobject_cast<vaultora::ui::GroupBrowser*>(containerTop(0));
    ASSERT_NE(banking, nullptr);
    tap(*banking, 1);
    tap(*banking, 1);
    ASSERT_EQ(stack->count(), 2);
    auto* entry = qobject_cast<vaultora::ui::EntryScreen*>(containerTop(1));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isStackedView());
    EXPECT_EQ(barTitle(entry->leftBarButton()), QStringLiteral("Close"));
    EXPECT_EQ(entry->title(), QStringLiteral("Bank account"));
}

TEST_F(Browser, SpacerRowAndRowsPastTheEndOpenNothing) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    root->onTableViewTap(0, true);
    root->onTableViewTap(99, true);
    root->onTableViewTap(0, false);
    EXPECT_EQ(stack->count(), 1);
    EXPECT_EQ(containerTop(0), root);
}

TEST_F(Browser, CloseOnAPanelThatIsNotTopmostClosesTheTopmost) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Internet"));
    tap(*root, rowOf(*root, "Internet"));
    ASSERT_EQ(stack->count(), 2);
    vaultora::ui::GroupBrowser* internet = browserAt(1);

    root->leftBarButton()->press();
    ASSERT_EQ(stack->count(), 1);
    EXPECT_EQ(browserAt(0), root);
    Q_UNUSED(internet);
}

TEST_F(Browser, FullScreenButtonTogglesAndTheSettingAppliesOnAppearance) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    EXPECT_FALSE(stack->isFullScreen());
    root->rightBarButton()->press();
    EXPECT_TRUE(stack->isFullScreen());
    EXPECT_TRUE(root->toogleFullScreen());
    root->rightBarButton()->press();
    EXPECT_FALSE(stack->isFullScreen());

    delegate->appSettings().setBShowFullScreen(true);
    tap(*root, rowOf(*root, "eMail"));
    tap(*root, rowOf(*root, "eMail"));
    EXPECT_TRUE(stack->isFullScreen());
    EXPECT_TRUE(browserAt(1)->toogleFullScreen());
}

TEST_F(Browser, FullScreenButtonsShowTheModeAndAnyOfThemLeavesIt) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "eMail"));
    tap(*root, rowOf(*root, "eMail"));
    ASSERT_EQ(stack->count(), 2);
    vaultora::toolkit::BarButton* rootButton = root->rightBarButton();
    vaultora::toolkit::BarButton* groupButton = browserAt(1)->rightBarButton();
    ASSERT_NE(rootButton, nullptr);
    ASSERT_NE(groupButton, nullptr);
    EXPECT_FALSE(rootButton->isChecked());

    rootButton->press();
    EXPECT_TRUE(rootButton->isChecked());
    EXPECT_TRUE(groupButton->isChecked()) << "the visible panel's button shows it";
    // The panel in view did not switch the mode itself, yet one press leaves it.
    groupButton->press();
    EXPECT_FALSE(stack->isFullScreen());
    EXPECT_FALSE(rootButton->isChecked());
    EXPECT_FALSE(groupButton->isChecked());
}

TEST_F(Browser, EmptyGroupShowsOnlyTheSpacer) {
    auto tree = std::make_shared<vaultora::kdb::KeePass1Tree>(
        std::make_unique<vaultora::kdb::KeePass1Group>());
    tree->getRoot()->setGroupName("Named root");
    vaultora::ui::GroupBrowser panel(services);
    panel.setGroup(tree, tree->getRoot());
    EXPECT_EQ(rowTitles(panel), QStringList({""}));
    EXPECT_EQ(panel.title(), QStringLiteral("Named root"));
    EXPECT_EQ(panel.leftBarButton(), nullptr);
}

TEST_F(Browser, ThirdTapStartsAFreshTapAfterADoubleTap) {
    vaultora::ui::GroupBrowser* root = openTestDatabase();
    tap(*root, rowOf(*root, "Internet"));
    tap(*root, rowOf(*root, "Internet"));
    EXPECT_EQ(root->tapCount(), 0);
    tap(*root, rowOf(*root, "Internet"));
    EXPECT_EQ(root->tapCount(), 1);
}

} // namespace
