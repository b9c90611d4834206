#include "ui/ExampleMenuRootController.h"

#include "app/NotificationCenter.h"
#include "app/Notifications.h"
#include "app/ZTAppDelegate.h"
#include "app/ZTPanelStack.h"
#include "ui/DatabaseViewController.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

namespace {

constexpr double autoTimeoutSeconds = 2.0;
constexpr double tabletMenuWidth = 200.0;
constexpr double phoneMenuWidth = 320.0;

struct SettingsRow {
    const char* text;
    const char* image;
    ExampleMenuRootController::SettingsScreen screen;
};

constexpr SettingsRow settingsRows[] = {
    {"Databases", "33-cabinet.png", ExampleMenuRootController::SettingsScreen::DatabaseList},
    {"Settings", "19-gear.png", ExampleMenuRootController::SettingsScreen::ApplicationSettings},
    {"Help", "79-medical-bag.png", ExampleMenuRootController::SettingsScreen::Help},
    {"About", "60-signpost.png", ExampleMenuRootController::SettingsScreen::About},
};

} // namespace

ExampleMenuRootController::ExampleMenuRootController(const ScreenServices& services,
                                                     ZTPanelStack& panelStack, QObject* parent)
    : toolkit::ListPanel(parent), m_services(services), m_panelStack(panelStack) {
    viewDidLoad();
}

ExampleMenuRootController::~ExampleMenuRootController() {
    NotificationCenter::defaultCenter().removeObservers(this);
}

void ExampleMenuRootController::viewDidLoad() {
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(Notifications::windowIdle), this,
                       [this](const Notification&) { receiveIdleNotification(); });
    center.addObserver(QString::fromLatin1(Notifications::databasesChanged), this,
                       [this](const Notification&) { receiveDatabaseChangedNotification(); });
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            &ExampleMenuRootController::tableViewDidSelectRowAtIndexPath);
    rebuildTableArray();
    reloadData();
}

void ExampleMenuRootController::rebuildTableArray() {
    m_cellContents.clear();
    for (const auto& record : m_services.delegate->serverArray()) {
        m_cellContents.append(
            {QStringLiteral("44-shoebox"), record->serverDisplayName(), record->databaseName()});
    }
}

void ExampleMenuRootController::reloadData() {
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

void ExampleMenuRootController::receiveDatabaseChangedNotification() {
    rebuildTableArray();
    reloadData();
}

void ExampleMenuRootController::receiveIdleNotification() {
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

void ExampleMenuRootController::closeAllPanels() {
    while (m_panelStack.panelCount() > 0) {
        const std::size_t before = m_panelStack.panelCount();
        m_panelStack.popViewControllerAnimated(true);
        if (m_panelStack.panelCount() >= before) {
            break;
        }
    }
}

void ExampleMenuRootController::tableViewDidSelectRowAtIndexPath(int section, int row) {
    list()->setSelection(section, row);
    switch (section) {
    case DatabasesSection:
        openDatabase(row);
        break;
    case SettingsSection:
        openSettingsScreen(row);
        break;
    case LogoutSection:
        closeAllPanels();
        break;
    default:
        break;
    }
}

void ExampleMenuRootController::openDatabase(int row) {
    const ServerArray& registry = m_services.delegate->serverArray();
    // The rows follow the registry only when a change is announced, so a row may point past
    // its end for a moment.
    if (row < 0 || row >= m_cellContents.size() ||
        static_cast<std::size_t>(row) >= registry.size()) {
        return;
    }
    // The panel belongs to the menu until the open flow puts it on the stacked navigation or
    // drops it.
    auto* panel = new DatabaseViewController(m_services, this);
    panel->setDatabaseFileName(m_cellContents.at(row).dataBaseFileName);
    panel->setIsStackedView(true);
    panel->setServerDetail(registry.at(static_cast<std::size_t>(row)));
    panel->syncDatabaseFileAndOpen();
}

void ExampleMenuRootController::openSettingsScreen(int row) {
    if (row < 0 || row >= static_cast<int>(std::size(settingsRows)) || !m_settingsScreenFactory) {
        return;
    }
    std::unique_ptr<toolkit::Panel> screen =
        m_settingsScreenFactory(settingsRows[static_cast<std::size_t>(row)].screen);
    if (!screen || m_services.stack == nullptr) {
        return;
    }
    m_services.stack->pushViewController(
        std::make_unique<toolkit::NavigationContainer>(std::move(screen)), nullptr,
        toolkit::Animated::Yes);
    m_services.stack->collapseStack(1, toolkit::Animated::Yes);
}

double ExampleMenuRootController::stackWidth(toolkit::DeviceIdiom idiom) const {
    return idiom == toolkit::DeviceIdiom::Tablet ? tabletMenuWidth : phoneMenuWidth;
}

QUrl ExampleMenuRootController::viewSource() const {
    return QUrl(QStringLiteral("qrc:/vaultora/ui/qml/MenuView.qml"));
}
