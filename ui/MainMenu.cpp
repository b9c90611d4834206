#include "ui/MainMenu.h"
#include "ui/SecretClipboard.h"

#include "app/ApplicationController.h"
#include "app/PanelStack.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/DatabaseOpenFlow.h"
#include "ui/DatabaseRowImage.h"
#include "ui/GroupBrowser.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <algorithm>

namespace vaultora::ui {

namespace {

constexpr double autoTimeoutSeconds = 2.0;
// Beside panels; on a window too narrow for both, the menu takes the whole width.
constexpr double menuWidth = 200.0;

struct SettingsRow {
    const char* text;
    const char* image;
    MainMenu::SettingsScreen screen;
};

constexpr SettingsRow settingsRows[] = {
    {"Databases", "33-cabinet.png", MainMenu::SettingsScreen::DatabaseList},
    {"Settings", "19-gear.png", MainMenu::SettingsScreen::ApplicationSettings},
    {"Help", "79-medical-bag.png", MainMenu::SettingsScreen::Help},
    {"About", "60-signpost.png", MainMenu::SettingsScreen::About},
};

} // namespace

MainMenu::MainMenu(const ScreenServices& services, app::PanelStack& panelStack, QObject* parent)
    : toolkit::ListPanel(parent), m_services(services), m_panelStack(panelStack) {
    viewDidLoad();
}

MainMenu::~MainMenu() {
    base::NotificationCenter::defaultCenter().removeObservers(this);
}

void MainMenu::viewDidLoad() {
    base::NotificationCenter& center = base::NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(base::Notifications::windowIdle), this,
                       [this](const base::Notification&) { receiveIdleNotification(); });
    center.addObserver(QString::fromLatin1(base::Notifications::databasesChanged), this,
                       [this](const base::Notification&) { receiveDatabaseChangedNotification(); });
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            &MainMenu::tableViewDidSelectRowAtIndexPath);
    // The menu is where the keyboard starts.
    list()->setFocusOnShow(true);
    rebuildTableArray();
    reloadData();
}

void MainMenu::rebuildTableArray() {
    m_cellContents.clear();
    for (const auto& record : m_services.delegate->serverArray()) {
        m_cellContents.append({databaseRowImage(*record), record->serverDisplayName(),
                               record->databaseName(), record});
    }
}

void MainMenu::reloadData() {
    toolkit::ListSection databases{QStringLiteral("Databases"), {}};
    for (const CellContent& cell : m_cellContents) {
        databases.rows.append(toolkit::ListRow{cell.cellImage, cell.cellText});
    }
    toolkit::ListSection settings{QStringLiteral("Settings"), {}};
    for (const SettingsRow& row : settingsRows) {
        settings.rows.append(
            toolkit::ListRow{QString::fromLatin1(row.image), QString::fromLatin1(row.text)});
    }
    toolkit::ListSection logout{
        QStringLiteral("Logout"),
        {toolkit::ListRow{QStringLiteral("54-lock.png"), QStringLiteral("Logout")}}};
    list()->setSections({databases, settings, logout});
}

void MainMenu::receiveDatabaseChangedNotification() {
    rebuildTableArray();
    reloadData();
}

void MainMenu::receiveIdleNotification() {
    if (m_services.delegate->appSettings().iAutoLogoutTimer() <= 0) {
        return;
    }
    if (m_panelStack.panelCount() == 0) {
        return;
    }
    closeAllPanels();
    m_services.transientPanels->showInformation(
        QStringLiteral("Auto timeout"), QStringLiteral("see settings dialog"), autoTimeoutSeconds);
}

void MainMenu::closeAllPanels() {
    if (m_services.clipboard != nullptr) {
        m_services.clipboard->clearSecret();
    }
    while (m_panelStack.panelCount() > 0) {
        const std::size_t before = m_panelStack.panelCount();
        m_panelStack.popTopPanel(true);
        if (m_panelStack.panelCount() >= before) {
            break;
        }
    }
}

void MainMenu::tableViewDidSelectRowAtIndexPath(int section, int row) {
    list()->setSelection(section, row);
    ++m_selectionNumber;
    switch (section) {
    case DatabasesSection:
        openDatabase(row);
        break;
    case SettingsSection:
        openSettingsScreen(row);
        break;
    case LogoutSection:
        closeAllPanels();
        list()->clearSelection();
        break;
    default:
        break;
    }
}

void MainMenu::openDatabase(int row) {
    if (row < 0 || row >= m_cellContents.size()) {
        return;
    }
    // The rows follow the registry only when a change is announced, so a row may stand for a
    // record that has moved or gone; it opens its own record or nothing, never a neighbour.
    const base::ServerArray& registry = m_services.delegate->serverArray();
    const std::shared_ptr<base::DatabaseRecord> record = m_cellContents.at(row).record.lock();
    if (!record || std::ranges::find(registry, record) == registry.end()) {
        list()->clearSelection();
        receiveDatabaseChangedNotification();
        return;
    }
    // The flow belongs to the menu until it finishes; the panel stack finds it here to cancel
    // it when the user is logged out.
    auto* flow = new DatabaseOpenFlow(m_services, record->databaseName(), record, this);
    const int selection = m_selectionNumber;
    connect(flow, &DatabaseOpenFlow::finished, this,
            [this, flow, selection](std::shared_ptr<kdb::DatabaseTree> tree) {
                toolkit::Panel* shown = tree ? showOpenedDatabase(*flow, std::move(tree)) : nullptr;
                if (selection == m_selectionNumber) {
                    keepSelectionWhileShown(shown);
                }
            });
    flow->start();
}

toolkit::Panel* MainMenu::showOpenedDatabase(const DatabaseOpenFlow& flow,
                                             std::shared_ptr<kdb::DatabaseTree> tree) {
    if (m_services.stack == nullptr) {
        return nullptr;
    }
    auto browser = std::make_unique<GroupBrowser>(m_services);
    browser->setDatabaseFileName(flow.databaseFileName());
    browser->setIsStackedView(true);
    browser->setServerDetail(flow.record());
    kdb::DatabaseGroup* root = tree->getRoot();
    browser->setGroup(std::move(tree), root);
    // The first panel of a database says which database it is.
    if (flow.record() && !flow.record()->serverDisplayName().isEmpty()) {
        browser->setTitle(flow.record()->serverDisplayName());
    }
    GroupBrowser* shown = browser.get();
    auto container = std::make_unique<toolkit::NavigationContainer>(std::move(browser));
    toolkit::Panel* pushed = container.get();
    shown->setNavController(container.get());
    m_services.stack->pushPanel(std::move(container), nullptr, toolkit::Animated::Yes);
    m_services.stack->collapseStack(1, toolkit::Animated::Yes);
    return pushed;
}

void MainMenu::openSettingsScreen(int row) {
    if (row < 0 || row >= static_cast<int>(std::size(settingsRows)) || !m_settingsScreenFactory) {
        list()->clearSelection();
        return;
    }
    std::unique_ptr<toolkit::Panel> screen =
        m_settingsScreenFactory(settingsRows[static_cast<std::size_t>(row)].screen);
    if (!screen || m_services.stack == nullptr) {
        list()->clearSelection();
        return;
    }
    auto container = std::make_unique<toolkit::NavigationContainer>(std::move(screen));
    toolkit::Panel* pushed = container.get();
    m_services.stack->pushPanel(std::move(container), nullptr, toolkit::Animated::Yes);
    m_services.stack->collapseStack(1, toolkit::Animated::Yes);
    keepSelectionWhileShown(pushed);
}

void MainMenu::keepSelectionWhileShown(toolkit::Panel* panel) {
    if (panel == nullptr || panel->stackController() == nullptr) {
        list()->clearSelection();
        return;
    }
    const int selection = m_selectionNumber;
    connect(panel, &toolkit::Panel::stackChanged, this, [this, panel, selection] {
        if (panel->stackController() == nullptr && selection == m_selectionNumber) {
            list()->clearSelection();
        }
    });
}

double MainMenu::readableWidth() const {
    return menuWidth;
}

QUrl MainMenu::viewSource() const {
    return QUrl(QStringLiteral("qrc:/vaultora/ui/qml/MenuView.qml"));
}

} // namespace vaultora::ui
