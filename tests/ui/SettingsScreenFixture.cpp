#include "SettingsScreenFixture.h"

#include "app/LaunchParts.h"
#include "app/PasswordStore.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseListScreen.h"
#include "ui/SettingsMenuScreens.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <iostream>
#include <stdexcept>

namespace vaultora::test::settings {

namespace {

const QString service = QStringLiteral("Vaultora");

class FixtureLaunchParts final : public vaultora::app::LaunchParts {
public:
    FixtureLaunchParts(vaultora::app::IdleWatch& idleWatch,
                       std::unique_ptr<vaultora::ui::NavigationPanelStack>& panelStack)
        : m_idleWatch(idleWatch), m_panelStack(panelStack) {}

    vaultora::app::IdleWatch* createWindow(vaultora::app::ApplicationController&) override {
        return &m_idleWatch;
    }
    vaultora::app::PanelStack* createNavigation(vaultora::app::ApplicationController&) override {
        return m_panelStack.get();
    }
    void createCrashReportManager(vaultora::app::ApplicationController&) override {}
    void createDropboxSession(vaultora::app::ApplicationController&) override {}

private:
    vaultora::app::IdleWatch& m_idleWatch;
    std::unique_ptr<vaultora::ui::NavigationPanelStack>& m_panelStack;
};

// A registry with the default settings and no database.
constexpr char emptyRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>AutoLogoutTimer</key><integer>5</integer></dict></plist>
)";

} // namespace

std::unique_ptr<vaultora::toolkit::Panel> RecordingSubScreens::createUploadScreen(
    const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
    vaultora::ui::DatabaseDetailsScreen& rootView) {
    opened.push_back({QStringLiteral("upload"), QString(), record, &rootView});
    return std::make_unique<vaultora::toolkit::Panel>();
}

std::unique_ptr<vaultora::toolkit::Panel> RecordingSubScreens::createDropboxPicker(
    const QString& directory, const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
    vaultora::ui::DatabaseDetailsScreen& rootView) {
    opened.push_back({QStringLiteral("picker"), directory, record, &rootView});
    return std::make_unique<vaultora::toolkit::Panel>();
}

SettingsScreenTest::SettingsScreenTest()
    : timers(std::make_shared<vaultora::toolkit::ManualTimerFactory>()),
      subScreens(std::make_shared<RecordingSubScreens>()) {
    documents = QDir(root.path()).filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    delegate = std::make_unique<vaultora::app::ApplicationController>(
        std::make_unique<FixtureLaunchParts>(idleWatch, panelStack), documents);
    modalPresenter = std::make_unique<vaultora::toolkit::ModalPresenter>();
    transientPanels = std::make_unique<vaultora::toolkit::TransientPanelHost>(timers);
    progressOverlay = std::make_unique<vaultora::toolkit::ProgressOverlay>();
    services.delegate = delegate.get();
    services.modalPresenter = modalPresenter.get();
    services.transientPanels = transientPanels.get();
    services.progressOverlay = progressOverlay.get();
    alerts = std::make_unique<vaultora::toolkit::AlertPresenter>();
    services.alerts = alerts.get();
    services.urlOpener = &urlOpener;
    services.sources = &sources;
    services.timers = timers;
    panelStack = std::make_unique<vaultora::ui::NavigationPanelStack>(services);
    auto ownedMenu = std::make_unique<vaultora::ui::MainMenu>(services, *panelStack);
    menu = ownedMenu.get();
    menu->setSettingsScreenFactory(vaultora::ui::SettingsMenuScreens(services, subScreens));
    stack = std::make_unique<vaultora::toolkit::StackController>(std::move(ownedMenu));
    stack->setViewportSize(QSizeF(1024, 768));
    services.stack = stack.get();

    QFile registry(delegate->registryFilePath());
    if (!registry.open(QIODevice::WriteOnly) || registry.write(emptyRegistry) < 0) {
        ADD_FAILURE() << "cannot write the registry file";
    }
    registry.close();
    delegate->didFinishLaunchingWithOptions();
    idleWatch.timerValues.clear();

    vaultora::base::NotificationCenter& center =
        vaultora::base::NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(vaultora::base::Notifications::databasesChanged),
                       &m_observerOwner,
                       [this](const vaultora::base::Notification&) { ++databasesChangedCount; });
    center.addObserver(QString::fromLatin1(vaultora::base::Notifications::settingsChanged),
                       &m_observerOwner,
                       [this](const vaultora::base::Notification&) { ++settingsChangedCount; });
    QObject::connect(
        transientPanels.get(), &QAbstractItemModel::rowsInserted, transientPanels.get(),
        [this](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
                auto* panel = transientPanels->panels().at(row);
                shownPanels.push_back({panel->style(), panel->title(), panel->subtitle()});
            }
        });
}

SettingsScreenTest::~SettingsScreenTest() {
    vaultora::base::NotificationCenter::defaultCenter().removeObservers(&m_observerOwner);
    stack.reset();
    modalPresenter.reset();
    runDeferredDeletes();
}

void SettingsScreenTest::SetUp() {
    vaultora::app::PasswordStore::setBackend(nullptr);
    // A store that cannot take a probe item means no Secret Service runs in this session.
    const QString probe = uniqueUrl(QStringLiteral("probe"));
    if (!vaultora::app::PasswordStore::storeUsername(
            probe, vaultora::kdb::secureBytesFromText("probe"), service,
            vaultora::app::PasswordStore::UpdateExisting::Yes)) {
        std::cout << "No Secret Service on the session bus: run the tests through scripts/test\n";
        GTEST_SKIP() << "no Secret Service on the session bus";
    }
}

void SettingsScreenTest::TearDown() {
    for (const QString& account : m_accounts) {
        vaultora::app::PasswordStore::deleteItemForUsername(account, service);
    }
}

QString SettingsScreenTest::uniqueUrl(const QString& fileName) {
    const QString url = QStringLiteral("https://example.org/") +
                        QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/') +
                        fileName;
    m_accounts.append(url);
    return url;
}

void SettingsScreenTest::storePassword(const QString& account, const QString& password) const {
    const QByteArray utf8 = password.toUtf8();
    ASSERT_TRUE(vaultora::app::PasswordStore::storeUsername(
        account,
        vaultora::kdb::secureBytesFromText(std::string_view(utf8.constData(), utf8.size())),
        service, vaultora::app::PasswordStore::UpdateExisting::Yes));
}

QString SettingsScreenTest::storedPassword(const QString& account) const {
    const auto saved = vaultora::app::PasswordStore::getPasswordForUsername(account, service);
    return saved ? QString::fromUtf8(reinterpret_cast<const char*>(saved->data()),
                                     static_cast<qsizetype>(saved->size()))
                 : QString();
}

bool SettingsScreenTest::hasStoredPassword(const QString& account) const {
    return vaultora::app::PasswordStore::getPasswordForUsername(account, service).has_value();
}

std::shared_ptr<vaultora::base::DatabaseRecord>
SettingsScreenTest::addRecord(const QString& displayName, const QString& databaseName,
                              std::int32_t syncType, const QString& serverUrl) {
    auto record = std::make_shared<vaultora::base::DatabaseRecord>();
    record->setServerDisplayName(displayName);
    record->setDatabaseName(databaseName);
    record->setServerUrl(serverUrl);
    record->setSyncType(syncType);
    delegate->serverArray().push_back(record);
    return record;
}

void SettingsScreenTest::writeDocument(const QString& name, const QByteArray& bytes) const {
    QFile file(QDir(documents).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::string SettingsScreenTest::documentNames() const {
    return QDir(documents)
        .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
        .join(QStringLiteral(" | "))
        .toStdString();
}

QByteArray SettingsScreenTest::registryFile() const {
    QFile file(delegate->registryFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

vaultora::toolkit::Panel*
SettingsScreenTest::openSettingsRow(vaultora::ui::MainMenu::SettingsScreen screen) {
    menu->tableViewDidSelectRowAtIndexPath(vaultora::ui::MainMenu::SettingsSection,
                                           static_cast<int>(screen));
    vaultora::toolkit::NavigationContainer* container = topContainer();
    return container != nullptr ? container->rootPanel() : nullptr;
}

vaultora::toolkit::NavigationContainer* SettingsScreenTest::topContainer() const {
    return qobject_cast<vaultora::toolkit::NavigationContainer*>(stack->topPanel());
}

vaultora::ui::DatabaseListScreen* SettingsScreenTest::openDatabaseList() {
    return qobject_cast<vaultora::ui::DatabaseListScreen*>(
        openSettingsRow(vaultora::ui::MainMenu::SettingsScreen::DatabaseList));
}

vaultora::ui::DatabaseDetailsScreen* SettingsScreenTest::topDetails() const {
    vaultora::toolkit::NavigationContainer* container = topContainer();
    return container != nullptr
               ? qobject_cast<vaultora::ui::DatabaseDetailsScreen*>(container->topPanel())
               : nullptr;
}

std::unique_ptr<vaultora::ui::DatabaseDetailsScreen>
SettingsScreenTest::detailsFor(const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
                               int index) {
    auto details = std::make_unique<vaultora::ui::DatabaseDetailsScreen>(services, *subScreens);
    details->setDatabaseRecord(record);
    details->setIServerArrayIndex(index);
    details->createDialog();
    return details;
}

vaultora::toolkit::FormRow&
SettingsScreenTest::rowLabelled(const vaultora::toolkit::FormPanel& panel, const QString& label) {
    if (panel.form() != nullptr) {
        for (vaultora::toolkit::FormSection* section : panel.form()->sections()) {
            for (vaultora::toolkit::FormRow* row : section->rows()) {
                if (row->label() == label) {
                    return *row;
                }
            }
        }
    }
    throw std::runtime_error("no row " + label.toStdString());
}

vaultora::toolkit::BarButton&
SettingsScreenTest::leftButton(const vaultora::toolkit::Panel& panel) {
    if (vaultora::toolkit::BarButton* button = panel.leftBarButton()) {
        return *button;
    }
    throw std::runtime_error("no left bar button");
}

vaultora::toolkit::BarButton&
SettingsScreenTest::rightButton(const vaultora::toolkit::Panel& panel) {
    if (vaultora::toolkit::BarButton* button = panel.rightBarButton()) {
        return *button;
    }
    throw std::runtime_error("no right bar button");
}

vaultora::toolkit::FormRow&
SettingsScreenTest::typeChoice(const vaultora::ui::DatabaseDetailsScreen& details) {
    if (vaultora::toolkit::FormRow* row = details.databaseType()) {
        return *row;
    }
    throw std::runtime_error("no sync-type choice");
}

void SettingsScreenTest::press(const vaultora::toolkit::FormPanel& panel, const QString& label) {
    rowLabelled(panel, label).select();
}

QStringList SettingsScreenTest::sectionTitles(const vaultora::toolkit::FormModel& form) {
    QStringList titles;
    for (const vaultora::toolkit::FormSection* section : form.sections()) {
        titles.append(section->title());
    }
    return titles;
}

QStringList SettingsScreenTest::rowLabels(const vaultora::toolkit::FormModel& form) {
    QStringList labels;
    for (const vaultora::toolkit::FormSection* section : form.sections()) {
        for (const vaultora::toolkit::FormRow* row : section->rows()) {
            labels.append(row->label());
        }
    }
    return labels;
}

void SettingsScreenTest::runDeferredDeletes() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace vaultora::test::settings
