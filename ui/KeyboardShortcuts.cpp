#include "ui/KeyboardShortcuts.h"

#include "ui/EntryScreen.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ListPanel.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QQuickItem>
#include <QShortcut>

#include <ranges>

namespace vaultora::ui {

namespace {

[[nodiscard]] toolkit::Panel* shownPanelOf(toolkit::Panel* panel) {
    if (auto* container = qobject_cast<toolkit::NavigationContainer*>(panel)) {
        return container->topPanel();
    }
    return panel;
}

[[nodiscard]] toolkit::ListPanel* searchableList(toolkit::Panel* panel) {
    auto* list = qobject_cast<toolkit::ListPanel*>(panel);
    return list != nullptr && list->list()->isSearchFieldVisible() ? list : nullptr;
}

} // namespace

KeyboardShortcuts::KeyboardShortcuts(const ScreenServices& services, IdleWatchingWindow& window)
    : QObject(&window), m_services(services) {
    const auto bind = [this, &window](const QKeySequence& keys, Command command) {
        auto* shortcut = new QShortcut(keys, &window);
        // A key taken by a shortcut never reaches the window as a key press.
        connect(shortcut, &QShortcut::activated, this, [this, &window, command] {
            window.touchBeganOrEnded();
            perform(command);
        });
    };
    bind(QKeySequence(Qt::Key_Escape), Command::Back);
    bind(QKeySequence(QKeySequence::Find), Command::Find);
    bind(QKeySequence(Qt::CTRL | Qt::Key_B), Command::CopyUserName);
    bind(QKeySequence(QKeySequence::Copy), Command::CopyPassword);
    // A text field claims Ctrl+C for itself before any shortcut sees it, selection or not; the
    // filter on the focused field decides instead.
    connect(&window, &QQuickWindow::activeFocusItemChanged, this, [this, &window] {
        QQuickItem* focused = window.activeFocusItem();
        if (focused != nullptr && focused->property("selectedText").isValid()) {
            focused->installEventFilter(this);
        }
    });
}

bool KeyboardShortcuts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) ||
        !watched->property("selectedText").toString().isEmpty() || topEntryScreen() == nullptr) {
        return false;
    }
    // Not taken by the field: the window's shortcut copies the password.
    event->ignore();
    return true;
}

KeyboardShortcuts::~KeyboardShortcuts() = default;

bool KeyboardShortcuts::perform(Command command) {
    // A question waits for its answer; nothing behind it moves.
    if (questionShown()) {
        return false;
    }
    if (m_services.modalPresenter != nullptr && m_services.modalPresenter->isPresenting()) {
        return command == Command::Back && backInPresentedPanel();
    }
    switch (command) {
    case Command::Back:
        return back();
    case Command::Find:
        return goToSearch();
    case Command::CopyUserName:
        if (EntryScreen* entry = topEntryScreen()) {
            entry->copyUserName();
            return true;
        }
        return false;
    case Command::CopyPassword:
        if (EntryScreen* entry = topEntryScreen()) {
            entry->copyPassword();
            return true;
        }
        return false;
    }
    return false;
}

bool KeyboardShortcuts::takeUnhandledKey(int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down) {
        return false;
    }
    if (questionShown() ||
        (m_services.modalPresenter != nullptr && m_services.modalPresenter->isPresenting())) {
        return false;
    }
    focusTopList();
    return true;
}

bool KeyboardShortcuts::questionShown() const {
    return m_services.alerts != nullptr && !m_services.alerts->alerts().isEmpty();
}

bool KeyboardShortcuts::backInPresentedPanel() {
    toolkit::Panel* presented = m_services.modalPresenter->presentedPanel();
    if (presented == nullptr) {
        return false;
    }
    if (auto* form = qobject_cast<PasswordForm*>(shownPanelOf(presented))) {
        form->cancel();
        return true;
    }
    auto* container = qobject_cast<toolkit::NavigationContainer*>(presented);
    if (container != nullptr && container->canGoBack()) {
        container->goBack();
        return true;
    }
    // Other presented screens end through their own buttons, which finish what they started.
    return false;
}

bool KeyboardShortcuts::back() {
    toolkit::StackController* stack = m_services.stack;
    toolkit::Panel* top = stack != nullptr ? stack->topPanel() : nullptr;
    if (top == nullptr) {
        return false;
    }
    if (toolkit::ListPanel* list = searchableList(shownPanelOf(top));
        list != nullptr && !list->list()->searchText().isEmpty()) {
        list->list()->pressCancelButton();
        return true;
    }
    auto* container = qobject_cast<toolkit::NavigationContainer*>(top);
    if (container != nullptr && container->canGoBack()) {
        container->goBack();
    } else {
        stack->popTopPanel(toolkit::Animated::Yes);
    }
    focusTopList();
    return true;
}

bool KeyboardShortcuts::goToSearch() {
    toolkit::StackController* stack = m_services.stack;
    if (stack == nullptr) {
        return false;
    }
    // The topmost list with a search field: in a panel's own drill-down that may lie under
    // what is shown, and the panel goes back to it.
    const QList<toolkit::Panel*> panels = stack->viewControllers();
    for (toolkit::Panel* panel : std::ranges::reverse_view(panels)) {
        auto* container = qobject_cast<toolkit::NavigationContainer*>(panel);
        if (container == nullptr) {
            if (toolkit::ListPanel* list = searchableList(panel)) {
                list->list()->requestSearchFocus();
                return true;
            }
            continue;
        }
        const QList<toolkit::Panel*> levels = container->viewControllers();
        for (toolkit::Panel* level : std::ranges::reverse_view(levels)) {
            if (toolkit::ListPanel* list = searchableList(level)) {
                while (container->topPanel() != level && container->canGoBack()) {
                    container->popTopPanel(toolkit::Animated::Yes);
                }
                list->list()->requestSearchFocus();
                return true;
            }
        }
    }
    return false;
}

toolkit::Panel* KeyboardShortcuts::topShownPanel() const {
    toolkit::Panel* top = m_services.stack != nullptr ? m_services.stack->topPanel() : nullptr;
    return top != nullptr ? shownPanelOf(top) : nullptr;
}

EntryScreen* KeyboardShortcuts::topEntryScreen() const {
    return qobject_cast<EntryScreen*>(topShownPanel());
}

void KeyboardShortcuts::focusTopList() {
    toolkit::Panel* shown = topShownPanel();
    if (shown == nullptr && m_services.stack != nullptr) {
        shown = m_services.stack->rootPanel();
    }
    if (auto* list = qobject_cast<toolkit::ListPanel*>(shown)) {
        list->list()->requestListFocus();
    }
}

} // namespace vaultora::ui
