#include "ui/SettingsDatabasesViewController.h"

#include "app/NotificationCenter.h"
#include "app/Notifications.h"
#include "app/ZTAppDelegate.h"
#include "ui/SettingsDatabaseDetailsViewController.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr double deletedPanelSeconds = 1.5;

} // namespace

SettingsDatabasesViewController::SettingsDatabasesViewController(
    const ScreenServices& services, DatabaseDetailsSubScreens& subScreens, QObject* parent)
    : toolkit::ListPanel(parent), m_services(services), m_subScreens(subScreens) {
    viewDidLoad();
}

SettingsDatabasesViewController::~SettingsDatabasesViewController() {
    NotificationCenter::defaultCenter().removeObservers(this);
}

void SettingsDatabasesViewController::viewDidLoad() {
    setTitle(QStringLiteral("Database settings"));
    connect(setLeftBarButton(QStringLiteral("Edit"), {}, toolkit::BarButton::Style::Bordered),
            &toolkit::BarButton::pressed, this, &SettingsDatabasesViewController::EditTable);
    connect(setRightBarButton(QStringLiteral("Add"), {}, toolkit::BarButton::Style::Plain),
            &toolkit::BarButton::pressed, this, &SettingsDatabasesViewController::AddTable);
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            &SettingsDatabasesViewController::tableViewDidSelectRowAtIndexPath);
    connect(list(), &toolkit::ListPanelModel::rowDeletionRequested, this,
            [this](int section, int row) {
                if (section == DatabasesSection) {
                    deleteRow(row);
                }
            });
    rebuildTableArray();
    reloadData();
    NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(Notifications::databasesChanged), this,
        [this](const Notification&) { receiveDatabaseChangedNotification(); });
}

void SettingsDatabasesViewController::rebuildTableArray() {
    m_cellContents.clear();
    for (const auto& record : m_services.delegate->serverArray()) {
        m_cellContents.append(
            {QStringLiteral("44-shoebox"), record->serverDisplayName(), record->databaseName()});
    }
}

void SettingsDatabasesViewController::reloadData() {
    toolkit::ListSection databases{QStringLiteral("Databases"), {}};
    for (const CellContent& cell : m_cellContents) {
        toolkit::ListRow row{cell.cellImage, cell.cellText};
        row.deletable = true;
        databases.rows.append(row);
    }
    toolkit::ListRow ok{{}, QStringLiteral("Ok")};
    ok.centred = true;
    list()->setSections({databases, toolkit::ListSection{{}, {ok}}});
}

void SettingsDatabasesViewController::receiveDatabaseChangedNotification() {
    rebuildTableArray();
    reloadData();
}

void SettingsDatabasesViewController::setEditing(bool editing) {
    list()->setEditing(editing);
    if (toolkit::BarButton* button = leftBarButton()) {
        button->setTitle(editing ? QStringLiteral("Done") : QStringLiteral("Edit"));
        button->setStyle(editing ? toolkit::BarButton::Style::Done
                                 : toolkit::BarButton::Style::Bordered);
    }
}

void SettingsDatabasesViewController::EditTable() {
    setEditing(!list()->isEditing());
}

void SettingsDatabasesViewController::AddTable() {
    std::shared_ptr<KeePassServerDetail> record = KeePassServerDetail::createNewDatabase();
    m_cellContents.append(
        {QStringLiteral("44-shoebox"), record->serverDisplayName(), record->databaseName()});
    ServerArray& registry = m_services.delegate->serverArray();
    registry.push_back(record);
    reloadData();
    openDetails(static_cast<int>(registry.size()) - 1);
}

void SettingsDatabasesViewController::tableViewDidSelectRowAtIndexPath(int section, int row) {
    if (section == DatabasesSection) {
        openDetails(row);
        return;
    }
    if (section == OkSection) {
        NotificationCenter::defaultCenter().post(
            QString::fromLatin1(Notifications::databasesChanged));
        if (m_services.stack != nullptr) {
            m_services.stack->popViewControllerAnimated(toolkit::Animated::Yes);
        }
    }
}

void SettingsDatabasesViewController::openDetails(int index) {
    const ServerArray& registry = m_services.delegate->serverArray();
    if (index < 0 || static_cast<std::size_t>(index) >= registry.size()) {
        return;
    }
    auto details =
        std::make_unique<SettingsDatabaseDetailsViewController>(m_services, m_subScreens);
    details->setKeePassServerDetail(registry.at(static_cast<std::size_t>(index)));
    details->setIServerArrayIndex(index);
    details->createDialog();
    if (toolkit::NavigationContainer* container = navigationContainer()) {
        container->pushViewController(std::move(details), toolkit::Animated::Yes);
    }
}

void SettingsDatabasesViewController::deleteRow(int row) {
    setEditing(false);
    ServerArray& registry = m_services.delegate->serverArray();
    if (row < 0 || static_cast<std::size_t>(row) >= registry.size()) {
        return;
    }
    const auto position = registry.begin() + row;
    removeDatabaseFile(*m_services.delegate, (*position)->databaseName());
    registry.erase(position);
    rebuildTableArray();
    reloadData();
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showInformation(QStringLiteral("The database file is deleted."),
                                                    QString(), deletedPanelSeconds);
    }
}

bool SettingsDatabasesViewController::removeDatabaseFile(const ZTAppDelegate& delegate,
                                                         const QString& databaseName) {
    if (databaseName.isEmpty() || databaseName.contains(QLatin1Char('/')) ||
        databaseName.contains(QLatin1String(".."))) {
        return false;
    }
    const QFileInfo file(delegate.getDocumentBaseDirectoryForFileName(databaseName));
    const QString documents = QDir(delegate.documentsDirectory()).canonicalPath();
    // The link itself is removed, never what it points to; so only the link's own place counts.
    if (documents.isEmpty() || !(file.isFile() || file.isSymLink()) ||
        QDir(file.absolutePath()).canonicalPath() != documents) {
        return false;
    }
    if (!QFile::remove(file.absoluteFilePath())) {
        qWarning().noquote() << "Could not delete the database file" << file.absoluteFilePath();
        return false;
    }
    return true;
}
