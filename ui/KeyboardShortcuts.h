// The keyboard's commands over the whole window. Escape cancels the password form, ends a
// search, goes back in a panel or closes the topmost one; Ctrl+F goes to the search of the
// topmost list that has one; in the entry view Ctrl+B copies the user name and Ctrl+C the
// password. A text field with the focus keeps the keys it uses itself: its Ctrl+C copies its
// selection, and only with nothing selected in it does Ctrl+C copy the password of an entry shown
// beside it. Arrow keys that nothing took put the focus on the topmost list.
#pragma once

#include "ui/ScreenServices.h"

#include <QObject>

namespace vaultora::toolkit {
class ListPanel;
class Panel;
} // namespace vaultora::toolkit

namespace vaultora::ui {

class EntryScreen;
class IdleWatchingWindow;

class KeyboardShortcuts final : public QObject {
    Q_OBJECT

public:
    enum class Command { Back, Find, CopyUserName, CopyPassword };

    // The shortcuts belong to the window and act while it has the focus; each one used counts
    // as a touch for the window's idle countdown.
    KeyboardShortcuts(const ScreenServices& services, IdleWatchingWindow& window);
    ~KeyboardShortcuts() override;

    // Carries out the command on what is on screen; false when it had nothing to act on.
    bool perform(Command command);
    // A key press that no item took: arrow keys put the focus on the topmost list.
    bool takeUnhandledKey(int key);

protected:
    // Lets Ctrl+C past a focused text field that has nothing selected while an entry is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool questionShown() const;
    bool backInPresentedPanel();
    bool back();
    bool goToSearch();
    [[nodiscard]] EntryScreen* topEntryScreen() const;
    // The panel shown on top of the stack: the top of its container, if it is one.
    [[nodiscard]] toolkit::Panel* topShownPanel() const;
    void focusTopList();

    const ScreenServices& m_services;
};

} // namespace vaultora::ui
