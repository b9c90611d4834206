// The main menu at the root of the stacked navigation: the registered databases, the settings
// and information screens and the logout row. It also closes every panel when the window
// reports that the user has been idle.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/ScreenServices.h"
#include "ui/toolkit/ListPanel.h"

#include "kdb/DatabaseModel.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace vaultora::app {
class PanelStack;
} // namespace vaultora::app

namespace vaultora::ui {

class DatabaseOpenFlow;

class MainMenu final : public toolkit::ListPanel {
    Q_OBJECT

public:
    enum Section { DatabasesSection = 0, SettingsSection = 1, LogoutSection = 2 };
    enum class SettingsScreen { DatabaseList, ApplicationSettings, Help, About };
    // Creates the screen of a settings row, or nothing where the screen does not exist yet.
    using SettingsScreenFactory = std::function<std::unique_ptr<toolkit::Panel>(SettingsScreen)>;

    // One database row. The row opens its own record, wherever that record now stands in the
    // registry, and nothing once the record has left it.
    struct CellContent {
        QString cellImage;
        QString cellText;
        QString dataBaseFileName;
        std::weak_ptr<base::DatabaseRecord> record;
    };

    // The panel stack closes the panels on logout; it also counts a presented password form.
    MainMenu(const ScreenServices& services, app::PanelStack& panelStack,
             QObject* parent = nullptr);
    ~MainMenu() override;

    [[nodiscard]] const QList<CellContent>& cellContents() const { return m_cellContents; }
    void rebuildTableArray();
    void receiveDatabaseChangedNotification();
    void receiveIdleNotification();
    void tableViewDidSelectRowAtIndexPath(int section, int row);
    // Closes every panel, topmost first.
    void closeAllPanels();

    // Attachment point for the settings, help and about screens: until a factory is set (or
    // while it returns nothing) their rows open nothing.
    void setSettingsScreenFactory(SettingsScreenFactory factory) {
        m_settingsScreenFactory = std::move(factory);
    }

    [[nodiscard]] double readableWidth() const override;
    [[nodiscard]] QUrl viewSource() const override;

private:
    void viewDidLoad();
    void reloadData();
    void openDatabase(int row);
    // Puts the root group of the opened database on the stacked navigation, right of the menu;
    // returns the panel pushed.
    toolkit::Panel* showOpenedDatabase(const DatabaseOpenFlow& flow,
                                       std::shared_ptr<kdb::DatabaseTree> tree);
    void openSettingsScreen(int row);
    // The selected row stays highlighted while the panel it opened is on the stack.
    void keepSelectionWhileShown(toolkit::Panel* panel);

    const ScreenServices& m_services;
    app::PanelStack& m_panelStack;
    QList<CellContent> m_cellContents;
    SettingsScreenFactory m_settingsScreenFactory;
    // Counts the taps, so that an open that ends after a later tap leaves that tap's row alone.
    int m_selectionNumber = 0;
};

} // namespace vaultora::ui
