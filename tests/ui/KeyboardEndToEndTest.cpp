// The application driven by the keyboard alone, through its window: from the menu to an
// entry's password on the clipboard and off it again, and back out with Escape.
#include "ScreenTestSupport.h"

#include "app/ApplicationController.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/EntryScreen.h"
#include "ui/GroupBrowser.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/Alert.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/FormRow.h"
#include "ui/toolkit/ListPanelModel.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>

using namespace vaultora::test::screens;
using vaultora::toolkit::NavigationContainer;

namespace {

// Lets the scene draw and settle until the condition holds; false if it never does.
bool settle(QQuickWindow& window, const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (condition()) {
            return true;
        }
        QSignalSpy frame(&window, &QQuickWindow::frameSwapped);
        window.requestUpdate();
        frame.wait(100);
    }
    return condition();
}

void press(QQuickWindow& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&window, key, modifiers);
}

void type(QQuickWindow& window, const char* text) {
    for (const char* character = text; *character != '\0'; ++character) {
        QTest::keyClick(&window, *character);
    }
}

// Whether the keyboard focus is on the named item or inside it (a list hands it to its current
// row).
bool focusIsWithin(const QQuickWindow& window, const QString& objectName) {
    for (const QQuickItem* item = window.activeFocusItem(); item != nullptr;
         item = item->parentItem()) {
        if (item->objectName() == objectName) {
            return true;
        }
    }
    return false;
}

// The label of the form row whose view has the keyboard focus, or empty.
QString focusedRowLabel(const QQuickWindow& window) {
    for (const QQuickItem* item = window.activeFocusItem(); item != nullptr;
         item = item->parentItem()) {
        if (const auto* row = item->property("row").value<vaultora::toolkit::FormRow*>()) {
            return row->label();
        }
    }
    return {};
}

class KeyboardOnly : public LaunchedAppTest {
protected:
    void SetUp() override {
        LaunchedAppTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        window->requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    // The database panel's container, once the database is open.
    [[nodiscard]] NavigationContainer* databaseContainer() const {
        return stack->count() > 0 ? qobject_cast<NavigationContainer*>(stack->viewControllers()[0])
                                  : nullptr;
    }
};

TEST_F(KeyboardOnly, OpensSearchesCopiesThePasswordAndSeesItClearedThenBacksOut) {
    // The first start registers the sample database; here its password is typed, not saved.
    ASSERT_EQ(delegate->serverArray().size(), 1u);
    delegate->serverArray().front()->setSavePassword(0);
    delegate->appSettings().setIClipboardClearSeconds(1);
    vaultora::toolkit::ModalPresenter* modal = parts->services().modalPresenter;

    // The menu has the focus on its first database row; Return opens it.
    ASSERT_TRUE(settle(*window, [&] {
        return focusIsWithin(*window, QStringLiteral("menuTable"));
    })) << "the menu takes the keyboard at the start";
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(settle(*window, [&] { return modal->isPresenting(); }));
    auto* form = qobject_cast<vaultora::ui::PasswordForm*>(
        qobject_cast<NavigationContainer*>(modal->presentedPanel())->topPanel());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->form()->sections().at(0)->title(), QStringLiteral("Test database"))
        << "the form says which database it opens";

    // The password field has the focus; Return logs in.
    ASSERT_TRUE(settle(*window, [&] {
        return window->activeFocusItem() != nullptr &&
               window->activeFocusItem()->property("echoMode").isValid();
    })) << "the password field takes the keyboard when the form opens";
    type(*window, "tulipfox");
    QSignalSpy opened(stack, &vaultora::toolkit::StackController::countChanged);
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(!opened.isEmpty() || opened.wait(20000)) << "the database did not open";
    ASSERT_TRUE(settle(*window, [&] { return !modal->isPresenting(); }));
    NavigationContainer* container = databaseContainer();
    ASSERT_NE(container, nullptr);
    auto* browser = qobject_cast<vaultora::ui::GroupBrowser*>(container->topPanel());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->title(), QStringLiteral("Test database"));

    // Ctrl+F goes to the search field; what is typed there searches.
    press(*window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(settle(*window, [&] {
        return window->activeFocusItem() != nullptr &&
               window->activeFocusItem()->property("placeholderText").toString() == "Search";
    }));
    type(*window, "forum");
    ASSERT_EQ(browser->searchResultArray().size(), 1u);
    EXPECT_EQ(browser->list()->row(0, 1).title, QStringLiteral("Example forum"));

    // Down leaves the field for the first result; Return opens it in place.
    QSignalSpy drillDowns(container, &NavigationContainer::topChanged);
    press(*window, Qt::Key_Down);
    press(*window, Qt::Key_Return);
    ASSERT_EQ(drillDowns.count(), 1);
    auto* entry = qobject_cast<vaultora::ui::EntryScreen*>(container->topPanel());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->title(), QStringLiteral("Example forum"));
    EXPECT_TRUE(settle(*window, [&] { return focusedRowLabel(*window) == "Username"; }))
        << "the entry opened in place takes the keyboard on its first row";

    // Ctrl+B copies the user name, Ctrl+C the password, marked as a secret; the password leaves
    // the clipboard after the (here short) delay.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    press(*window, Qt::Key_B, Qt::ControlModifier);
    const QString userName = clipboard->text();
    EXPECT_FALSE(userName.isEmpty());
    press(*window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("correct horse"));
    ASSERT_NE(clipboard->mimeData(), nullptr);
    EXPECT_EQ(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")),
              QByteArray("secret"));
    QSignalSpy cleared(clipboard, &QClipboard::dataChanged);
    ASSERT_TRUE(cleared.wait(5000)) << "the password stayed on the clipboard";
    EXPECT_TRUE(clipboard->text().isEmpty());

    // Escape goes back to the results, then ends the search, then closes the database.
    press(*window, Qt::Key_Escape);
    EXPECT_EQ(container->topPanel(), browser);
    EXPECT_EQ(browser->list()->searchText(), QStringLiteral("forum"));
    press(*window, Qt::Key_Escape);
    EXPECT_TRUE(browser->list()->searchText().isEmpty());
    EXPECT_EQ(stack->count(), 1);
    press(*window, Qt::Key_Escape);
    EXPECT_EQ(stack->count(), 0);
}

TEST_F(KeyboardOnly, TabGoesDownThePasswordFormAndReturnPressesTheFocusedButton) {
    delegate->serverArray().front()->setSavePassword(0);
    vaultora::toolkit::ModalPresenter* modal = parts->services().modalPresenter;
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(settle(*window, [&] { return focusedRowLabel(*window) == "Password"; }));

    press(*window, Qt::Key_Tab);
    EXPECT_EQ(focusedRowLabel(*window), QStringLiteral("Login"));
    press(*window, Qt::Key_Tab);
    EXPECT_EQ(focusedRowLabel(*window), QStringLiteral("Cancel"));
    press(*window, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedRowLabel(*window), QStringLiteral("Login"));
    press(*window, Qt::Key_Tab);

    // Nothing behind the form reacts while it is up; Return on "Cancel" closes it.
    press(*window, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(focusedRowLabel(*window), QStringLiteral("Cancel"));
    press(*window, Qt::Key_Return);
    EXPECT_TRUE(settle(*window, [&] { return !modal->isPresenting(); }));
    EXPECT_EQ(stack->count(), 0);

    // Escape on a form opened again cancels it too.
    ASSERT_TRUE(settle(*window, [&] { return window->activeFocusItem() != nullptr; }));
    press(*window, Qt::Key_Down);
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(settle(*window, [&] { return modal->isPresenting(); }));
    press(*window, Qt::Key_Escape);
    EXPECT_TRUE(settle(*window, [&] { return !modal->isPresenting(); }));
    EXPECT_EQ(stack->count(), 0);
}

TEST_F(KeyboardOnly, AQuestionTakesTheKeyboardWithItsFirstAnswerAndHoldsEverythingBehind) {
    vaultora::toolkit::AlertPresenter* alerts = parts->services().alerts;
    ASSERT_NE(alerts, nullptr);
    stack->pushPanel(std::make_unique<vaultora::toolkit::FormPanel>(
                         std::make_unique<vaultora::toolkit::FormModel>(QStringLiteral("Open"))),
                     nullptr, vaultora::toolkit::Animated::No);
    vaultora::toolkit::Alert* question =
        alerts->show(QStringLiteral("Delete Test database and its file?"), QString(),
                     {QStringLiteral("Cancel"), QStringLiteral("Delete")});
    QSignalSpy answers(question, &vaultora::toolkit::Alert::buttonPressed);
    ASSERT_TRUE(settle(*window, [&] {
        return window->activeFocusItem() != nullptr &&
               window->activeFocusItem()->property("text").toString() == "Cancel";
    }));
    press(*window, Qt::Key_Escape);
    EXPECT_EQ(stack->count(), 1) << "Escape does not reach the panels behind a question";
    press(*window, Qt::Key_Tab);
    EXPECT_EQ(window->activeFocusItem()->property("text").toString(), QStringLiteral("Delete"));
    press(*window, Qt::Key_Backtab, Qt::ShiftModifier);
    press(*window, Qt::Key_Return);
    ASSERT_EQ(answers.count(), 1);
    EXPECT_EQ(answers.at(0).at(0).toInt(), 0);
}

// What the keyboard focus is on: "search", "list", the text of a button, or "other".
QString focusedPlace(const QQuickWindow& window) {
    const QQuickItem* focused = window.activeFocusItem();
    if (focused == nullptr) {
        return QStringLiteral("nothing");
    }
    if (focused->property("placeholderText").toString() == QStringLiteral("Search")) {
        return QStringLiteral("search");
    }
    // A list hands the focus to its current row, which is one of its delegates.
    for (const QQuickItem* item = focused; item != nullptr; item = item->parentItem()) {
        if (item->inherits("QQuickListView")) {
            const auto* rows = item->property("contentItem").value<QQuickItem*>();
            if (focused == item || focused->parentItem() == rows) {
                return QStringLiteral("list");
            }
        }
    }
    if (focused->inherits("QQuickAbstractButton")) {
        const QString text = focused->property("text").toString();
        return text.isEmpty() ? QStringLiteral("image button") : text;
    }
    return QStringLiteral("other");
}

// The row of the list showing the title, or -1.
int rowTitled(const vaultora::toolkit::ListPanelModel& list, const QString& title) {
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.data(list.index(row), vaultora::toolkit::ListPanelModel::TitleRole).toString() ==
            title) {
            return row;
        }
    }
    return -1;
}

TEST_F(KeyboardOnly, CtrlCInTheSearchFieldCopiesItsSelectionElseThePasswordOfTheEntryBeside) {
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    QSignalSpy opened(stack, &vaultora::toolkit::StackController::countChanged);
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(!opened.isEmpty() || opened.wait(20000)) << "the database did not open";
    NavigationContainer* container = databaseContainer();
    ASSERT_NE(container, nullptr);
    auto* browser = qobject_cast<vaultora::ui::GroupBrowser*>(container->topPanel());
    ASSERT_NE(browser, nullptr);
    press(*window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "search"; }));
    type(*window, "forum");

    // Two taps open the result beside the list; the search field keeps the keyboard.
    const int result = rowTitled(*browser->list(), QStringLiteral("Example forum"));
    ASSERT_GE(result, 0);
    browser->list()->tap(result);
    browser->list()->tap(result);
    ASSERT_EQ(stack->count(), 2);
    ASSERT_NE(qobject_cast<vaultora::ui::EntryScreen*>(
                  qobject_cast<NavigationContainer*>(stack->topPanel())->topPanel()),
              nullptr);
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "search"; }));

    // Nothing selected in the field: Ctrl+C is the entry's.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    press(*window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("correct horse"));

    // Text selected in the field: Ctrl+C copies it, as in any text field.
    press(*window, Qt::Key_A, Qt::ControlModifier);
    press(*window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("forum"));
    EXPECT_EQ(focusedPlace(*window), QStringLiteral("search"));
}

TEST_F(KeyboardOnly, TabGoesThroughTheBrowserFromTheBarDownToTheList) {
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    QSignalSpy opened(stack, &vaultora::toolkit::StackController::countChanged);
    press(*window, Qt::Key_Return);
    ASSERT_TRUE(!opened.isEmpty() || opened.wait(20000)) << "the database did not open";
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "list"; }))
        << "the opened database's list takes the keyboard";

    QStringList backwards;
    for (int step = 0; step < 3; ++step) {
        press(*window, Qt::Key_Backtab, Qt::ShiftModifier);
        backwards.append(focusedPlace(*window));
    }
    EXPECT_EQ(backwards, QStringList({"search", "image button", "Close"}));
    QStringList forwards;
    for (int step = 0; step < 4; ++step) {
        press(*window, Qt::Key_Tab);
        forwards.append(focusedPlace(*window));
    }
    // The search field shows its "Cancel" once it has had the focus; it stands to the right.
    EXPECT_EQ(forwards, QStringList({"image button", "search", "Cancel", "list"}));
}

TEST_F(KeyboardOnly, DeletesADatabaseFromTheSettingsAfterAnsweringTheQuestion) {
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    // Down past the database row to the settings' "Databases" row.
    press(*window, Qt::Key_Down);
    QSignalSpy opened(stack, &vaultora::toolkit::StackController::countChanged);
    press(*window, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "list"; }))
        << "the database list takes the keyboard from the menu";

    // Up to the bar's "Edit", then on to the row's "Delete".
    press(*window, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focusedPlace(*window), QStringLiteral("Add"));
    press(*window, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focusedPlace(*window), QStringLiteral("Edit"));
    press(*window, Qt::Key_Space);
    ASSERT_TRUE(settle(*window, [&] {
        press(*window, Qt::Key_Tab);
        return focusedPlace(*window) == "Delete";
    }));
    press(*window, Qt::Key_Space);
    vaultora::toolkit::AlertPresenter* alerts = parts->services().alerts;
    ASSERT_EQ(alerts->alerts().size(), 1);
    EXPECT_EQ(alerts->alerts().front()->title(),
              QStringLiteral("Delete Test database and its file?"));
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "Cancel"; }));
    press(*window, Qt::Key_Tab);
    press(*window, Qt::Key_Return);
    EXPECT_TRUE(delegate->serverArray().empty());
    EXPECT_TRUE(parts->menu()->cellContents().isEmpty()) << "the menu drops the row at once";
}

TEST_F(KeyboardOnly, SettingsFormsTakeTheKeyboardOnTheirFirstRowWhenTheyOpen) {
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    // Down past the database row and "Databases" to the application settings.
    press(*window, Qt::Key_Down);
    press(*window, Qt::Key_Down);
    press(*window, Qt::Key_Return);
    ASSERT_EQ(stack->count(), 1);
    EXPECT_TRUE(settle(*window, [&] { return focusedRowLabel(*window) == "Auto Logout"; }))
        << "the application settings take the keyboard";

    // The database list, then the details of its first record, opened in place with Return.
    press(*window, Qt::Key_Escape);
    ASSERT_EQ(stack->count(), 0);
    ASSERT_TRUE(settle(*window, [&] { return window->activeFocusItem() != nullptr; }));
    press(*window, Qt::Key_Up);
    ASSERT_TRUE(
        settle(*window, [&] { return focusIsWithin(*window, QStringLiteral("menuTable")); }));
    press(*window, Qt::Key_Return);
    ASSERT_EQ(stack->count(), 1);
    ASSERT_TRUE(settle(*window, [&] { return focusedPlace(*window) == "list"; }));
    auto* databases = qobject_cast<NavigationContainer*>(stack->topPanel());
    ASSERT_NE(databases, nullptr);
    QSignalSpy drillDowns(databases, &NavigationContainer::topChanged);
    press(*window, Qt::Key_Return);
    ASSERT_EQ(drillDowns.count(), 1);
    EXPECT_TRUE(settle(*window, [&] { return focusedRowLabel(*window) == "Type"; }))
        << "the database's details take the keyboard";
}

TEST_F(KeyboardOnly, AShortcutKeyRestartsTheIdleCountdownLikeAnyOtherKey) {
    window->setTimerValue(0.05);
    ASSERT_TRUE(settle(*window, [&] { return !window->hasIdleTimer(); }))
        << "the countdown did not run out";
    window->setIdleTimeInterval(300.0);
    // Escape has no modifier key of its own that would reach the window first.
    press(*window, Qt::Key_Escape);
    EXPECT_TRUE(window->hasIdleTimer());
}

} // namespace
