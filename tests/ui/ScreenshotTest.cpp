// The main screens at a phone's, a tablet's and a desktop window's size, drawn offscreen with the
// software renderer and grabbed: no text may be cut, no part of the window left uncovered, every
// text drawn in a theme colour whose contrast holds, and every tap target high enough. With
// VAULTORA_SCREENSHOT_DIR set, each frame is also saved there (scripts/screenshots does this).

#include "ScreenChecks.h"
#include "ScreenTestSupport.h"

#include "app/ApplicationController.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/EntryScreen.h"
#include "ui/GroupBrowser.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/MainMenu.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/ListPanel.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/Theme.h"

#include <QDir>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace vaultora::test::screens;
using vaultora::toolkit::Theme;

namespace {

// No view draws in this colour: wherever it shows in a frame, nothing covers the window.
const QColor uncoveredColour(255, 0, 255);

struct WindowSize {
    int width;
    int height;
};

void PrintTo(const WindowSize& size, std::ostream* out) {
    *out << size.width << "x" << size.height;
}

std::string sizeName(const testing::TestParamInfo<WindowSize>& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

// The row of a list panel showing the title, or -1.
int rowTitled(vaultora::toolkit::ListPanel& panel, const QString& title) {
    vaultora::toolkit::ListPanelModel* model = panel.list();
    for (int item = 0; item < model->rowCount(); ++item) {
        if (model->data(model->index(item), vaultora::toolkit::ListPanelModel::TitleRole)
                .toString() == title) {
            return item;
        }
    }
    return -1;
}

template <typename Screen> Screen* screenOnTop(vaultora::toolkit::StackController& stack) {
    auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack.topPanel());
    return container != nullptr ? qobject_cast<Screen*>(container->topPanel()) : nullptr;
}

class Screenshots : public LaunchedAppTest, public testing::WithParamInterface<WindowSize> {
protected:
    void SetUp() override {
        Theme::instance().setReducedMotion(true);
        LaunchedAppTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        window->setColor(uncoveredColour);
        window->resize(GetParam().width, GetParam().height);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        LaunchedAppTest::TearDown();
        if (menu != nullptr) {
            menu->closeAllPanels();
        }
        Theme::instance().setReducedMotion(false);
    }

    // Grabs the frame of the screen now on show, checks it and keeps it when asked to.
    void check(const QString& screen) {
        SCOPED_TRACE(screen.toStdString());
        QCoreApplication::processEvents();
        ASSERT_EQ(stack->viewportSize(), QSizeF(window->size()));
        const QImage frame = window->grabWindow();
        ASSERT_FALSE(frame.isNull());
        const QString folder = qEnvironmentVariable("VAULTORA_SCREENSHOT_DIR");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            frame.save(QStringLiteral("%1/%2-%3x%4.png")
                           .arg(folder, screen)
                           .arg(window->width())
                           .arg(window->height()));
        }
        QRect where;
        const int uncovered = uncoveredPixels(frame, uncoveredColour, where);
        EXPECT_EQ(uncovered, 0) << "nothing covers " << where.width() << "x" << where.height()
                                << " at " << where.x() << "," << where.y();
        QQuickItem* root = window->contentItem();
        for (const QString& text : clippedTexts(root)) {
            ADD_FAILURE() << text.toStdString();
        }
        for (const QString& text : textsOffTheme(root)) {
            ADD_FAILURE() << text.toStdString();
        }
        for (const QString& target : smallTapTargets(root)) {
            ADD_FAILURE() << target.toStdString();
        }
    }

    void resizeWindow(int width, int height) {
        window->resize(width, height);
        QCoreApplication::processEvents();
        ASSERT_EQ(window->size(), QSize(width, height));
    }

    [[nodiscard]] int panelsInView() const {
        int shown = 0;
        for (int row = 0; row < stack->count(); ++row) {
            shown += stack->data(stack->index(row), vaultora::toolkit::StackController::VisibleRole)
                         .toBool();
        }
        return shown;
    }

    void tapMenu(int section, int row) {
        menu->tableViewDidSelectRowAtIndexPath(section, row);
        QCoreApplication::processEvents();
    }

    // Two taps in a row open the row as a panel of its own to the right.
    void doubleTap(vaultora::toolkit::ListPanel& panel, const QString& title) {
        const int row = rowTitled(panel, title);
        ASSERT_GE(row, 0) << "no row " << title.toStdString();
        const int before = stack->count();
        panel.list()->tap(row);
        panel.list()->tap(row);
        ASSERT_EQ(stack->count(), before + 1);
    }

    void openDatabase(int row) {
        QSignalSpy pushes(stack, &vaultora::toolkit::StackController::countChanged);
        tapMenu(vaultora::ui::MainMenu::DatabasesSection, row);
        ASSERT_TRUE(!pushes.isEmpty() || pushes.wait(20000)) << "the database did not open";
    }
};

TEST_P(Screenshots, BrowsingFromTheMenuToARevealedPassword) {
    check(QStringLiteral("menu"));

    openDatabase(0);
    auto* root = screenOnTop<vaultora::ui::GroupBrowser>(*stack);
    ASSERT_NE(root, nullptr);
    check(QStringLiteral("database"));

    doubleTap(*root, QStringLiteral("eMail"));
    auto* group = screenOnTop<vaultora::ui::GroupBrowser>(*stack);
    ASSERT_NE(group, nullptr);
    check(QStringLiteral("group"));

    doubleTap(*group, QStringLiteral("Work mail"));
    auto* entry = screenOnTop<vaultora::ui::EntryScreen>(*stack);
    ASSERT_NE(entry, nullptr);
    check(QStringLiteral("entry"));

    entry->toggleShowPassword();
    check(QStringLiteral("entry-password-shown"));

    entry->rightBarButton()->press();
    ASSERT_TRUE(stack->isFullScreen());
    check(QStringLiteral("entry-full-screen"));
    entry->rightBarButton()->press();
    EXPECT_FALSE(stack->isFullScreen());
}

// The first visible text item showing exactly the text, or none.
QQuickItem* shownText(QQuickItem* item, const QString& text) {
    if (!item->isVisible()) {
        return nullptr;
    }
    if (item->inherits("QQuickText") && item->property("text").toString() == text) {
        return item;
    }
    const auto children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* found = shownText(child, text)) {
            return found;
        }
    }
    return nullptr;
}

TEST_P(Screenshots, LongValuesOfAnEntryWrapInsteadOfBeingCut) {
    const std::string userName =
        "someone.with.a.very.long.address." + std::string(120, 'u') + "@mail.example.com";
    const std::string password = "Il1|O0o" + std::string(150, 'p') + "!";
    const std::string url = "https://login.example.com/" + std::string(200, 'x') + "?next=/";
    std::string comments;
    for (int line = 0; line < 200; ++line) {
        comments += "Line " + std::to_string(line) + " of notes that go on " +
                    std::string(static_cast<std::size_t>(line % 40), 'n') + "\n";
    }
    auto entry = std::make_unique<vaultora::kdb::KeePass1Entry>();
    entry->setEntryName("An entry with a name far longer than any panel is wide, to be elided");
    entry->setUserName(userName);
    entry->setPassword(password);
    entry->setURL(url);
    entry->setComments(comments);
    vaultora::kdb::KeePass1Entry* shown = entry.get();
    auto group = std::make_unique<vaultora::kdb::KeePass1Group>();
    group->addEntry(std::move(entry));
    auto tree = std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(group));

    auto screen = std::make_unique<vaultora::ui::EntryScreen>(parts->services());
    vaultora::ui::EntryScreen* entryScreen = screen.get();
    screen->setIsStackedView(true);
    screen->showKeePassEntry(shown, tree);
    stack->pushPanel(std::make_unique<vaultora::toolkit::NavigationContainer>(std::move(screen)),
                     nullptr, vaultora::toolkit::Animated::Yes);
    stack->collapseStack(1, vaultora::toolkit::Animated::Yes);
    entryScreen->toggleShowPassword();
    check(QStringLiteral("entry-long-values"));

    QQuickItem* root = window->contentItem();
    for (const std::string& value : {userName, password, url}) {
        QQuickItem* text = shownText(root, QString::fromStdString(value));
        ASSERT_NE(text, nullptr) << value;
        EXPECT_FALSE(text->property("truncated").toBool()) << value;
        EXPECT_LE(text->property("contentWidth").toDouble(), text->width() + 0.5) << value;
        if (text->implicitWidth() > text->width()) {
            EXPECT_GT(text->property("lineCount").toInt(), 1) << value << " is not wrapped";
        }
    }
    QQuickItem* revealed = shownText(root, QString::fromStdString(password));
    ASSERT_NE(revealed, nullptr);
    EXPECT_EQ(revealed->property("font").value<QFont>().family(),
              Theme::instance().monospaceFamily());
}

TEST_P(Screenshots, EveryResizeLaysOutAfreshAndMoreRoomBringsBackHiddenPanels) {
    openDatabase(0);
    auto* root = screenOnTop<vaultora::ui::GroupBrowser>(*stack);
    ASSERT_NE(root, nullptr);
    doubleTap(*root, QStringLiteral("eMail"));
    auto* group = screenOnTop<vaultora::ui::GroupBrowser>(*stack);
    ASSERT_NE(group, nullptr);
    doubleTap(*group, QStringLiteral("Work mail"));

    resizeWindow(390, 844);
    EXPECT_EQ(panelsInView(), 1);
    check(QStringLiteral("resized-narrow"));
    resizeWindow(1280, 900);
    EXPECT_EQ(panelsInView(), 3) << "the hidden panels come back";
    check(QStringLiteral("resized-wide"));
    resizeWindow(GetParam().width, GetParam().height);
    check(QStringLiteral("resized-back"));
}

TEST_P(Screenshots, SettingsHelpAndAbout) {
    tapMenu(vaultora::ui::MainMenu::SettingsSection, 0);
    auto* list = screenOnTop<vaultora::toolkit::ListPanel>(*stack);
    ASSERT_NE(list, nullptr);
    check(QStringLiteral("settings-databases"));

    auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
    const int firstRecord = rowTitled(*list, delegate->serverArray().front()->serverDisplayName());
    ASSERT_GE(firstRecord, 0);
    list->list()->tap(firstRecord);
    ASSERT_NE(qobject_cast<vaultora::toolkit::FormPanel*>(container->topPanel()), nullptr);
    check(QStringLiteral("settings-database-details"));

    const QStringList screens{QStringLiteral("settings-application"), QStringLiteral("help"),
                              QStringLiteral("about")};
    for (int row = 1; row <= 3; ++row) {
        menu->closeAllPanels();
        tapMenu(vaultora::ui::MainMenu::SettingsSection, row);
        ASSERT_EQ(stack->count(), 1);
        check(screens.at(row - 1));
    }
}

TEST_P(Screenshots, PasswordFormOfADatabaseWithoutSavedPassword) {
    const auto& sample = delegate->serverArray().front();
    auto typed = std::make_shared<vaultora::base::DatabaseRecord>();
    typed->setServerDisplayName(QStringLiteral("Typed password"));
    typed->setDatabaseName(sample->databaseName());
    typed->setServerUrl(sample->serverUrl() + QStringLiteral("#typed"));
    typed->setSyncType(sample->syncType());
    typed->setSavePassword(0);
    delegate->serverArray().push_back(typed);
    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));

    vaultora::toolkit::ModalPresenter* modal = parts->services().modalPresenter;
    QSignalSpy presented(modal, &vaultora::toolkit::ModalPresenter::presentingChanged);
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, 1);
    ASSERT_TRUE(modal->isPresenting() || presented.wait(20000)) << "no password form";
    check(QStringLiteral("password-form"));
}

// A phone's, a tablet's and a desktop window's size, and any further ones listed in
// VAULTORA_SCREENSHOT_SIZES ("1024x768 1600x1000"; scripts/screenshots sets it).
std::vector<WindowSize> windowSizes() {
    std::vector<WindowSize> sizes{{390, 844}, {768, 1024}, {1280, 900}};
    const QStringList extra = qEnvironmentVariable("VAULTORA_SCREENSHOT_SIZES")
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& size : extra) {
        const QStringList sides = size.split(QLatin1Char('x'));
        bool widthRead = false;
        bool heightRead = false;
        const int width = sides.value(0).toInt(&widthRead);
        const int height = sides.value(1).toInt(&heightRead);
        const bool known = std::ranges::any_of(sizes, [width, height](const WindowSize& other) {
            return other.width == width && other.height == height;
        });
        if (sides.size() == 2 && widthRead && heightRead && width > 0 && height > 0 && !known) {
            sizes.push_back({width, height});
        }
    }
    return sizes;
}

INSTANTIATE_TEST_SUITE_P(PhoneTabletDesktop, Screenshots, testing::ValuesIn(windowSizes()),
                         sizeName);

} // namespace
