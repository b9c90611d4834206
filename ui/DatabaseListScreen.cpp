#include "ui/DatabaseListScreen.h"

#include "app/ApplicationController.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseRowImage.h"
#include "ui/toolkit/Alert.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vaultora::ui {

namespace {

constexpr double deletedPanelSeconds = 1.5;

} // namespace

DatabaseListScreen::DatabaseListScreen(const ScreenServices& services,
                                       DatabaseDetailsSubScreens& subScreens, QObject* parent)
    : toolkit::ListPanel(parent), m_services(services), m_subScreens(subScreens) {
    viewDidLoad();
}

DatabaseListScreen::~DatabaseListScreen() {
    base::NotificationCenter::defaultCenter().removeObservers(this);
}

void DatabaseListScreen::viewDidLoad() {
    setTitle(QStringLiteral("Database settings"));
    connect(setLeftBarButton(QStringLiteral("Edit"), {}, toolkit::BarButton::Style::Bordered),
            &toolkit::BarButton::pressed, this, &DatabaseListScreen::EditTable);
    connect(setRightBarButton(QStringLiteral("Add"), {}, toolkit::BarButton::Style::Plain),
            &toolkit::BarButton::pressed, this, &DatabaseListScreen::AddTable);
    connect(list(), &toolkit::ListPanelModel::rowTapped, this,
            &DatabaseListScreen::tableViewDidSelectRowAtIndexPath);
    // Opened from the menu, the screen takes the keyboard from it.
    list()->setFocusOnShow(true);
    connect(list(), &toolkit::ListPanelModel::rowDeletionRequested, this,
            [this](int section, int row) {
                if (section == DatabasesSection) {
                    askToDeleteRow(row);
                }
            });
    rebuildTableArray();
    reloadData();
    base::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(base::Notifications::databasesChanged), this,
        [this](const base::Notification&) { receiveDatabaseChangedNotification(); });
}

void DatabaseListScreen::rebuildTableArray() {
    m_cellContents.clear();
    for (const auto& record : m_services.delegate->serverArray()) {
        m_cellContents.append(
            {databaseRowImage(*record), record->serverDisplayName(), record->databaseName()});
    }
}

void DatabaseListScreen::reloadData() {
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

void DatabaseListScreen::receiveDatabaseChangedNotification() {
    rebuildTableArray();
    reloadData();
}

void DatabaseListScreen::setEditing(bool editing) {
    list()->setEditing(editing);
    if (toolkit::BarButton* button = leftBarButton()) {
        button->setTitle(editing ? QStringLiteral("Done") : QStringLiteral("Edit"));
        button->setStyle(editing ? toolkit::BarButton::Style::Done
                                 : toolkit::BarButton::Style::Bordered);
    }
}

void DatabaseListScreen::EditTable() {
    setEditing(!list()->isEditing());
}

void DatabaseListScreen::AddTable() {
    std::shared_ptr<base::DatabaseRecord> record = base::DatabaseRecord::createNewDatabase();
    m_cellContents.append(
        {databaseRowImage(*record), record->serverDisplayName(), record->databaseName()});
    base::ServerArray& registry = m_services.delegate->serverArray();
    registry.push_back(record);
    reloadData();
    openDetails(static_cast<int>(registry.size()) - 1);
}

void DatabaseListScreen::tableViewDidSelectRowAtIndexPath(int section, int row) {
    if (section == DatabasesSection) {
        openDetails(row);
        return;
    }
    if (section == OkSection) {
        base::NotificationCenter::defaultCenter().post(
            QString::fromLatin1(base::Notifications::databasesChanged));
        // The list closes itself, not whatever panel was opened to its right since.
        if (m_services.stack != nullptr) {
            m_services.stack->closePanel(stackedPanel(), toolkit::Animated::Yes);
        }
    }
}

void DatabaseListScreen::openDetails(int index) {
    const base::ServerArray& registry = m_services.delegate->serverArray();
    if (index < 0 || static_cast<std::size_t>(index) >= registry.size()) {
        return;
    }
    auto details = std::make_unique<DatabaseDetailsScreen>(m_services, m_subScreens);
    details->setDatabaseRecord(registry.at(static_cast<std::size_t>(index)));
    details->setIServerArrayIndex(index);
    details->createDialog();
    if (toolkit::NavigationContainer* container = navigationContainer()) {
        container->pushPanel(std::move(details), toolkit::Animated::Yes);
    }
}

void DatabaseListScreen::askToDeleteRow(int row) {
    const base::ServerArray& registry = m_services.delegate->serverArray();
    if (row < 0 || static_cast<std::size_t>(row) >= registry.size() ||
        m_services.alerts == nullptr) {
        return;
    }
    // The answer concerns this record, wherever the registry has it by then.
    const std::weak_ptr<base::DatabaseRecord> record = registry.at(static_cast<std::size_t>(row));
    const QString name = registry.at(static_cast<std::size_t>(row))->serverDisplayName();
    toolkit::Alert* question =
        m_services.alerts->show(QStringLiteral("Delete %1 and its file?").arg(name), QString(),
                                {QStringLiteral("Cancel"), QStringLiteral("Delete")});
    connect(question, &toolkit::Alert::buttonPressed, this, [this, record](int button) {
        if (const auto chosen = record.lock(); chosen && button == 1) {
            deleteRecord(chosen);
        }
    });
}

void DatabaseListScreen::deleteRow(int row) {
    const base::ServerArray& registry = m_services.delegate->serverArray();
    if (row < 0 || static_cast<std::size_t>(row) >= registry.size()) {
        setEditing(false);
        return;
    }
    deleteRecord(registry.at(static_cast<std::size_t>(row)));
}

void DatabaseListScreen::deleteRecord(const std::shared_ptr<base::DatabaseRecord>& record) {
    setEditing(false);
    base::ServerArray& registry = m_services.delegate->serverArray();
    const auto position = std::ranges::find(registry, record);
    if (position == registry.end()) {
        return;
    }
    removeDatabaseFile(*m_services.delegate, record->databaseName());
    registry.erase(position);
    // Announced at once: the menu must not keep a row for a record that is gone.
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(base::Notifications::databasesChanged));
    rebuildTableArray();
    reloadData();
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showInformation(QStringLiteral("The database file is deleted."),
                                                    QString(), deletedPanelSeconds);
    }
}

bool DatabaseListScreen::removeDatabaseFile(const app::ApplicationController& delegate,
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

} // namespace vaultora::ui
