#include "ScreenTestSupport.h"

#include "ui/EntryScreen.h"
#include "ui/toolkit/NavigationContainer.h"

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"

#include <QClipboard>
#include <QMimeData>
#include <QGuiApplication>

using namespace vaultora::test::screens;
using namespace std::chrono_literals;

namespace {

class EntryView : public ScreenTest {
protected:
    EntryView() {
        auto root = std::make_unique<vaultora::kdb::KeePass1Group>();
        auto entry = std::make_unique<vaultora::kdb::KeePass1Entry>();
        entry->setEntryName("Forum");
        entry->setUserName("tulip");
        entry->setPassword("a much longer password than four");
        entry->setURL("https://forum.example.org/login");
        entry->setComments("line one\nline two");
        m_entry = entry.get();
        root->addEntry(std::move(entry));
        auto bare = std::make_unique<vaultora::kdb::KeePass1Entry>();
        bare->setEntryName("Bare");
        m_bare = bare.get();
        root->addEntry(std::move(bare));
        m_tree = std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(root));
    }

    std::unique_ptr<vaultora::ui::EntryScreen> show(vaultora::kdb::DatabaseEntry* entry) {
        auto screen = std::make_unique<vaultora::ui::EntryScreen>(services);
        screen->showKeePassEntry(entry, m_tree);
        return screen;
    }

    static vaultora::toolkit::FormRow* row(const vaultora::ui::EntryScreen& screen, int section,
                                           int index) {
        return screen.form()->sections().at(section)->rows().at(index);
    }

    // Whether the newest notice is still up after the time, and gone right after it.
    void expectNoticeLasts(std::chrono::milliseconds shown) {
        ASSERT_FALSE(transientPanels->panels().isEmpty());
        vaultora::toolkit::TransientPanel* notice = transientPanels->panels().constLast();
        timers->advance(shown - 1ms);
        EXPECT_FALSE(notice->isHidden());
        timers->advance(1ms);
        EXPECT_TRUE(notice->isHidden());
    }

    std::shared_ptr<vaultora::kdb::KeePass1Tree> m_tree;
    vaultora::kdb::DatabaseEntry* m_entry = nullptr;
    vaultora::kdb::DatabaseEntry* m_bare = nullptr;
};

TEST_F(EntryView, ShowsTheFieldsWithThePasswordMasked) {
    auto screen = show(m_entry);
    EXPECT_EQ(screen->title(), QStringLiteral("Forum"));
    ASSERT_EQ(screen->form()->sections().size(), 3);
    EXPECT_EQ(row(*screen, 0, 0)->label(), QStringLiteral("Username"));
    EXPECT_EQ(row(*screen, 0, 0)->text(), QStringLiteral("tulip"));
    EXPECT_EQ(row(*screen, 0, 1)->label(), QStringLiteral("Password"));
    EXPECT_EQ(row(*screen, 0, 1)->text(), QStringLiteral("****"));
    EXPECT_EQ(row(*screen, 0, 2)->kind(), vaultora::toolkit::FormRow::Kind::Switch);
    EXPECT_EQ(row(*screen, 0, 2)->label(), QStringLiteral("Show password"));
    EXPECT_FALSE(row(*screen, 0, 2)->isOn());
    EXPECT_EQ(screen->form()->sections().at(1)->title(), QStringLiteral("URL"));
    EXPECT_EQ(row(*screen, 1, 0)->kind(), vaultora::toolkit::FormRow::Kind::WebLink);
    EXPECT_EQ(row(*screen, 1, 0)->label(), QStringLiteral("https://forum.example.org/login"));
    EXPECT_EQ(screen->form()->sections().at(2)->title(), QStringLiteral("Comments"));
    EXPECT_EQ(row(*screen, 2, 0)->text(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(screen->leftBarButton(), nullptr);
    EXPECT_EQ(barImage(screen->rightBarButton()), QStringLiteral("fullscreen.png"));

    row(*screen, 0, 2)->toggle(true);
    EXPECT_TRUE(screen->showPassword());
    EXPECT_EQ(row(*screen, 0, 1)->text(), QStringLiteral("a much longer password than four"));
    EXPECT_TRUE(row(*screen, 0, 2)->isOn());

    delegate->appSettings().setBShowPasswordDefault(true);
    auto shown = show(m_entry);
    EXPECT_EQ(row(*shown, 0, 1)->text(), QStringLiteral("a much longer password than four"));
}

TEST_F(EntryView, RowsCopyTheirFieldAndConfirmIt) {
    auto screen = show(m_entry);
    QClipboard* clipboard = QGuiApplication::clipboard();

    row(*screen, 0, 0)->select();
    EXPECT_EQ(clipboard->text(), QStringLiteral("tulip"));
    EXPECT_EQ(shownTitles().constLast(), QStringLiteral("Username copied to clipboard"));
    expectNoticeLasts(1500ms);

    row(*screen, 0, 1)->select();
    EXPECT_EQ(clipboard->text(), QStringLiteral("a much longer password than four"))
        << "the masked row still copies the password";
    EXPECT_EQ(shownTitles().constLast(), QStringLiteral("Password copied to clipboard"));
    EXPECT_EQ(shownPanels.back().style, vaultora::toolkit::TransientPanel::Style::Information);
    EXPECT_TRUE(shownPanels.back().subtitle.isEmpty());
    expectNoticeLasts(1500ms);

    row(*screen, 2, 0)->select();
    EXPECT_EQ(clipboard->text(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(shownTitles().constLast(), QStringLiteral("Comment copied to clipboard"));
}

TEST_F(EntryView, ACopiedPasswordIsMarkedSecretAndLeavesTheClipboardAgain) {
    auto screen = show(m_entry);
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString hint = QStringLiteral("x-kde-passwordManagerHint");

    row(*screen, 0, 1)->select();
    ASSERT_NE(clipboard->mimeData(), nullptr);
    EXPECT_EQ(clipboard->mimeData()->data(hint), QByteArray("secret"));
    timers->advance(29s);
    EXPECT_EQ(clipboard->text(), QStringLiteral("a much longer password than four"));
    timers->advance(1s);
    EXPECT_TRUE(clipboard->text().isEmpty()) << "cleared after the default 30 seconds";

    // A user name is neither marked nor cleared.
    row(*screen, 0, 0)->select();
    EXPECT_FALSE(clipboard->mimeData()->hasFormat(hint));
    timers->advance(3600s);
    EXPECT_EQ(clipboard->text(), QStringLiteral("tulip"));

    // What the user copied after the password stays.
    row(*screen, 0, 1)->select();
    clipboard->setText(QStringLiteral("copied elsewhere"));
    timers->advance(30s);
    EXPECT_EQ(clipboard->text(), QStringLiteral("copied elsewhere"));

    // The setting's delay; zero keeps the password until a lock, which takes it off.
    delegate->appSettings().setIClipboardClearSeconds(5);
    row(*screen, 0, 1)->select();
    timers->advance(5s);
    EXPECT_TRUE(clipboard->text().isEmpty());
    delegate->appSettings().setIClipboardClearSeconds(0);
    row(*screen, 0, 1)->select();
    timers->advance(24h);
    EXPECT_EQ(clipboard->text(), QStringLiteral("a much longer password than four"));
    menu->tableViewDidSelectRowAtIndexPath(vaultora::ui::MainMenu::LogoutSection, 0);
    EXPECT_TRUE(clipboard->text().isEmpty()) << "a logout takes it off";
}

TEST_F(EntryView, UrlRowCopiesThePasswordAndOpensTheAddress) {
    auto screen = show(m_entry);
    row(*screen, 1, 0)->select();

    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("a much longer password than four"));
    EXPECT_EQ(shownTitles().constLast(), QStringLiteral("Password copied to clipboard"));
    expectNoticeLasts(1000ms);
    ASSERT_EQ(urlOpener.opened.size(), 1u);
    EXPECT_EQ(urlOpener.opened.at(0), QUrl(QStringLiteral("https://forum.example.org/login")));
}

TEST_F(EntryView, EntryWithoutFieldsCopiesEmptyTextAndOpensNoAddress) {
    auto screen = show(m_bare);
    EXPECT_EQ(row(*screen, 2, 0)->text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    row(*screen, 0, 0)->select();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
    row(*screen, 1, 0)->select();
    EXPECT_TRUE(urlOpener.opened.empty());
}

TEST_F(EntryView, StackedScreenClosesTheTopmostPanel) {
    auto screen = show(m_entry);
    screen->setIsStackedView(true);
    ASSERT_NE(screen->leftBarButton(), nullptr);
    EXPECT_EQ(barTitle(screen->leftBarButton()), QStringLiteral("Close"));
    vaultora::ui::EntryScreen* shown = screen.get();
    stack->pushPanel(std::make_unique<vaultora::toolkit::NavigationContainer>(std::move(screen)),
                     nullptr, vaultora::toolkit::Animated::No);
    shown->rightBarButton()->press();
    EXPECT_TRUE(stack->isFullScreen());
    shown->rightBarButton()->press();
    EXPECT_FALSE(stack->isFullScreen());
    shown->leftBarButton()->press();
    EXPECT_EQ(stack->count(), 0);
}

} // namespace
