#include "SettingsScreenFixture.h"

#include "app/NotificationCenter.h"
#include "app/Notifications.h"
#include "app/ZEZEKeychainUtils.h"
#include "app/ZTLaunchParts.h"
#include "ui/SettingsDatabaseDetailsViewController.h"
#include "ui/SettingsDatabasesViewController.h"
#include "ui/SettingsMenuScreens.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <iostream>
#include <stdexcept>

namespace settingstest {

namespace {

const QString service = QStringLiteral("Vaultora");

class FixtureLaunchParts final : public ZTLaunchParts {
public:
    FixtureLaunchParts(ZTIdleWatch& idleWatch, std::unique_ptr<NavigationPanelStack>& panelStack)
        : m_idleWatch(idleWatch), m_panelStack(panelStack) {}

    ZTIdleWatch* createWindow(ZTAppDelegate&) override { return &m_idleWatch; }
    ZTPanelStack* createNavigation(ZTAppDelegate&) override { return m_panelStack.get(); }
    void createCrashReportManager(ZTAppDelegate&) override {}
    void createDropboxSession(ZTAppDelegate&) override {}

private:
    ZTIdleWatch& m_idleWatch;
    std::unique_ptr<NavigationPanelStack>& m_panelStack;
};

// A registry with the default settings and no database.
constexpr char emptyRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>AutoLogoutTimer</key><integer>5</integer></dict></plist>
)";

} // namespace

std::unique_ptr<toolkit::Panel>
RecordingSubScreens::createUploadScreen(const std::shared_ptr<KeePassServerDetail>& record,
                                        SettingsDatabaseDetailsViewController& rootView) {
    opened.push_back({QStringLiteral("upload"), QString(), record, &rootView});
    return std::make_unique<toolkit::Panel>();
}

std::unique_ptr<toolkit::Panel>
RecordingSubScreens::createDropboxPicker(const QString& directory,
                                         const std::shared_ptr<KeePassServerDetail>& record,
                                         SettingsDatabaseDetailsViewController& rootView) {
    opened.push_back({QStringLiteral("picker"), directory, record, &rootView});
    return std::make_unique<toolkit::Panel>();
}

SettingsScreenTest::SettingsScreenTest()
    : timers(std::make_shared<toolkit::ManualTimerFactory>()),
      subScreens(std::make_shared<RecordingSubScreens>()) {
    documents = QDir(root.path()).filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    delegate = std::make_unique<ZTAppDelegate>(
        std::make_unique<FixtureLaunchParts>(idleWatch, panelStack), documents);
    modalPresenter = std::make_unique<toolkit::ModalPresenter>();
    transientPanels = std::make_unique<toolkit::TransientPanelHost>(timers);
    progressOverlay = std::make_unique<toolkit::ProgressOverlay>();
    services.delegate = delegate.get();
    services.modalPresenter = modalPresenter.get();
    services.transientPanels = transientPanels.get();
    services.progressOverlay = progressOverlay.get();
    services.urlOpener = &urlOpener;
    services.sources = &sources;
    services.timers = timers;
    panelStack = std::make_unique<NavigationPanelStack>(services);
    auto ownedMenu = std::make_unique<ExampleMenuRootController>(services, *panelStack);
    menu = ownedMenu.get();
    menu->setSettingsScreenFactory(SettingsMenuScreens(services, subScreens));
    stack = std::make_unique<toolkit::StackController>(std::move(ownedMenu));
    stack->setViewportSize(QSizeF(1024, 768));
    services.stack = stack.get();

    QFile registry(delegate->registryFilePath());
    if (!registry.open(QIODevice::WriteOnly) || registry.write(emptyRegistry) < 0) {
        ADD_FAILURE() << "cannot write the registry file";
    }
    registry.close();
    delegate->didFinishLaunchingWithOptions();
    idleWatch.timerValues.clear();

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(Notifications::databasesChanged), &m_observerOwner,
                       [this](const Notification&) { ++databasesChangedCount; });
    center.addObserver(QString::fromLatin1(Notifications::settingsChanged), &m_observerOwner,
                       [this](const Notification&) { ++settingsChangedCount; });
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
    NotificationCenter::defaultCenter().removeObservers(&m_observerOwner);
    stack.reset();
    modalPresenter.reset();
    runDeferredDeletes();
}

void SettingsScreenTest::SetUp() {
    ZEZEKeychainUtils::setBackend(nullptr);
    // A store that cannot take a probe item means no Secret Service runs in this session.
    const QString probe = uniqueUrl(QStringLiteral("probe"));
    if (!ZEZEKeychainUtils::storeUsername(probe, kdb::secureBytesFromText("probe"), service,
                                          ZEZEKeychainUtils::UpdateExisting::Yes)) {
        std::cout << "No Secret Service on the session bus: run the tests through scripts/test\n";
        GTEST_SKIP() << "no Secret Service on the session bus";
    }
}

void SettingsScreenTest::TearDown() {
    for (const QString& account : m_accounts) {
        ZEZEKeychainUtils::deleteItemForUsername(account, service);
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
    ASSERT_TRUE(ZEZEKeychainUtils::storeUsername(
        account, kdb::secureBytesFromText(std::string_view(utf8.constData(), utf8.size())), service,
        ZEZEKeychainUtils::UpdateExisting::Yes));
}

QString SettingsScreenTest::storedPassword(const QString& account) const {
    const auto saved = ZEZEKeychainUtils::getPasswordForUsername(account, service);
    return saved ? QString::fromUtf8(reinterpret_cast<const char*>(saved->data()),
                                     static_cast<qsizetype>(saved->size()))
                 : QString();
}

bool SettingsScreenTest::hasStoredPassword(const QString& account) const {
    return ZEZEKeychainUtils::getPasswordForUsername(account, service).has_value();
}

std::shared_ptr<KeePassServerDetail> SettingsScreenTest::addRecord(const QString& displayName,
                                                                   const QString& databaseName,
                                                                   std::int32_t syncType,
                                                                   const QString& serverUrl) {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setServerDisplayName(displayName);
    record->setDatabaseName(databaseName);
    record->setServerUrl(serverUrl);
    record->setDBSyncType(syncType);
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

toolkit::Panel*
SettingsScreenTest::openSettingsRow(ExampleMenuRootController::SettingsScreen screen) {
    menu->tableViewDidSelectRowAtIndexPath(ExampleMenuRootController::SettingsSection,
                                           static_cast<int>(screen));
    toolkit::NavigationContainer* container = topContainer();
    return container != nullptr ? container->rootViewController() : nullptr;
}

toolkit::NavigationContainer* SettingsScreenTest::topContainer() const {
    return qobject_cast<toolkit::NavigationContainer*>(stack->topViewController());
}

SettingsDatabasesViewController* SettingsScreenTest::openDatabaseList() {
    return qobject_cast<SettingsDatabasesViewController*>(
        openSettingsRow(ExampleMenuRootController::SettingsScreen::DatabaseList));
}

SettingsDatabaseDetailsViewController* SettingsScreenTest::topDetails() const {
    toolkit::NavigationContainer* container = topContainer();
    return container != nullptr ? qobject_cast<SettingsDatabaseDetailsViewController*>(
                                      container->topViewController())
                                : nullptr;
}

std::unique_ptr<SettingsDatabaseDetailsViewController>
SettingsScreenTest::detailsFor(const std::shared_ptr<KeePassServerDetail>& record, int index) {
    auto details = std::make_unique<SettingsDatabaseDetailsViewController>(services, *subScreens);
    details->setKeePassServerDetail(record);
    details->setIServerArrayIndex(index);
    details->createDialog();
    return details;
}

toolkit::FormRow& SettingsScreenTest::rowLabelled(const toolkit::FormPanel& panel,
                                                  const QString& label) {
    if (panel.form() != nullptr) {
        for (toolkit::FormSection* section : panel.form()->sections()) {
            for (toolkit::FormRow* row : section->rows()) {
                if (row->label() == label) {
                    return *row;
                }
            }
        }
    }
    throw std::runtime_error("no row " + label.toStdString());
}

toolkit::BarButton& SettingsScreenTest::leftButton(const toolkit::Panel& panel) {
    if (toolkit::BarButton* button = panel.leftBarButton()) {
        return *button;
    }
    throw std::runtime_error("no left bar button");
}

toolkit::BarButton& SettingsScreenTest::rightButton(const toolkit::Panel& panel) {
    if (toolkit::BarButton* button = panel.rightBarButton()) {
        return *button;
    }
    throw std::runtime_error("no right bar button");
}

toolkit::FormRow&
SettingsScreenTest::typeChoice(const SettingsDatabaseDetailsViewController& details) {
    if (toolkit::FormRow* row = details.databaseType()) {
        return *row;
    }
    throw std::runtime_error("no sync-type choice");
}

void SettingsScreenTest::press(const toolkit::FormPanel& panel, const QString& label) {
    rowLabelled(panel, label).select();
}

QStringList SettingsScreenTest::sectionTitles(const toolkit::FormModel& form) {
    QStringList titles;
    for (const toolkit::FormSection* section : form.sections()) {
        titles.append(section->title());
    }
    return titles;
}

QStringList SettingsScreenTest::rowLabels(const toolkit::FormModel& form) {
    QStringList labels;
    for (const toolkit::FormSection* section : form.sections()) {
        for (const toolkit::FormRow* row : section->rows()) {
            labels.append(row->label());
        }
    }
    return labels;
}

void SettingsScreenTest::runDeferredDeletes() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace settingstest
