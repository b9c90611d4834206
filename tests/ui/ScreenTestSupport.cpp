#include "ScreenTestSupport.h"

#include "app/NotificationCenter.h"
#include "app/Notifications.h"
#include "app/ZEZEKeychainUtils.h"
#include "app/ZTLaunchParts.h"
#include "ui/DatabaseViewController.h"
#include "ui/LoginViewController.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace screentest {

QString sourcePath(const QString& relative) {
    return QStringLiteral(VAULTORA_SOURCE_DIR "/") + relative;
}

QString testDatabasePath() {
    return sourcePath(QStringLiteral("app/resources/test_database.kdb"));
}

QString barTitle(const toolkit::BarButton* button) {
    return button != nullptr ? button->title() : QString();
}

QString barImage(const toolkit::BarButton* button) {
    return button != nullptr ? button->imageName() : QString();
}

std::int32_t MemoryKeychain::findAttributes(const QString& account, const QString& service) {
    return items.contains({account, service}) ? KeychainStatus::success
                                              : KeychainStatus::itemNotFound;
}

std::int32_t MemoryKeychain::findData(const QString& account, const QString& service,
                                      std::optional<kdb::SecureBytes>& data) {
    const auto found = items.find({account, service});
    if (found == items.end()) {
        data.reset();
        return KeychainStatus::itemNotFound;
    }
    data = found->second;
    return KeychainStatus::success;
}

std::int32_t MemoryKeychain::add(const QString& account, const QString& service, const QString&,
                                 const kdb::SecureBytes& data) {
    if (items.contains({account, service})) {
        return KeychainStatus::duplicateItem;
    }
    items[{account, service}] = data;
    return KeychainStatus::success;
}

std::int32_t MemoryKeychain::update(const QString& account, const QString& service, const QString&,
                                    const kdb::SecureBytes& data) {
    const auto found = items.find({account, service});
    if (found == items.end()) {
        return KeychainStatus::itemNotFound;
    }
    found->second = data;
    return KeychainStatus::success;
}

std::int32_t MemoryKeychain::remove(const QString& account, const QString& service) {
    return items.erase({account, service}) > 0 ? KeychainStatus::success
                                               : KeychainStatus::itemNotFound;
}

ScopedMemoryKeychain::ScopedMemoryKeychain() {
    auto backend = std::make_unique<MemoryKeychain>();
    m_backend = backend.get();
    m_previous = ZEZEKeychainUtils::setBackend(std::move(backend));
}

ScopedMemoryKeychain::~ScopedMemoryKeychain() {
    ZEZEKeychainUtils::setBackend(std::move(m_previous));
}

void ScopedMemoryKeychain::store(const QString& account, const QString& password) {
    m_backend->items[{account, QStringLiteral("Vaultora")}] =
        kdb::secureBytesFromText(password.toStdString());
}

bool RecordingSources::downloadFromURL(const QString& url, const QString& fileName) {
    downloads.push_back({url, fileName});
    return downloader(downloads.back());
}

void RecordingSources::syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                                       DatabaseViewController& panel) {
    Q_UNUSED(panel);
    dropboxSyncs.push_back(record);
}

namespace {

// Hands the delegate the fixture's panel stack, as the application's launch parts do.
class FixtureLaunchParts final : public ZTLaunchParts {
public:
    explicit FixtureLaunchParts(std::unique_ptr<NavigationPanelStack>& panelStack)
        : m_panelStack(panelStack) {}

    ZTIdleWatch* createWindow(ZTAppDelegate&) override { return nullptr; }
    ZTPanelStack* createNavigation(ZTAppDelegate&) override { return m_panelStack.get(); }
    void createCrashReportManager(ZTAppDelegate&) override {}
    void createDropboxSession(ZTAppDelegate&) override {}

private:
    std::unique_ptr<NavigationPanelStack>& m_panelStack;
};

// A registry with the default settings and no database.
constexpr char emptyRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>AutoLogoutTimer</key><integer>5</integer></dict></plist>
)";

} // namespace

ScreenTest::ScreenTest() : timers(std::make_shared<toolkit::ManualTimerFactory>()) {
    delegate = std::make_unique<ZTAppDelegate>(std::make_unique<FixtureLaunchParts>(panelStack),
                                               documents.path());
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
    stack = std::make_unique<toolkit::StackController>(std::move(ownedMenu));
    stack->setViewportSize(QSizeF(1024, 768));
    services.stack = stack.get();

    QFile registry(delegate->registryFilePath());
    if (!registry.open(QIODevice::WriteOnly) || registry.write(emptyRegistry) < 0) {
        ADD_FAILURE() << "cannot write the registry file";
    }
    registry.close();
    delegate->didFinishLaunchingWithOptions();

    QObject::connect(
        transientPanels.get(), &QAbstractItemModel::rowsInserted, transientPanels.get(),
        [this](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
                auto* panel = transientPanels->panels().at(row);
                shownPanels.push_back({panel->style(), panel->title(), panel->subtitle()});
            }
        });
}

ScreenTest::~ScreenTest() {
    stack.reset();
    modalPresenter.reset();
    runDeferredDeletes();
}

void ScreenTest::installDatabase(const QString& sourceFile, const QString& name) const {
    const QString target = QDir(documents.path()).filePath(name);
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(sourceFile, target)) << sourceFile.toStdString();
}

std::shared_ptr<KeePassServerDetail>
ScreenTest::addRecord(const QString& displayName, const QString& databaseName,
                      std::int32_t syncType, std::int32_t savePassword, const QString& serverUrl) {
    auto record = std::make_shared<KeePassServerDetail>();
    record->setServerDisplayName(displayName);
    record->setDatabaseName(databaseName);
    record->setServerUrl(serverUrl.isNull() ? QStringLiteral("https://example.org/") + databaseName
                                            : serverUrl);
    record->setDBSyncType(syncType);
    record->setSavePassword(savePassword);
    delegate->serverArray().push_back(record);
    NotificationCenter::defaultCenter().post(QString::fromLatin1(Notifications::databasesChanged));
    return record;
}

std::shared_ptr<KeePassServerDetail> ScreenTest::addTestDatabase(bool savePassword) {
    installDatabase(testDatabasePath(), QStringLiteral("test_database.kdb"));
    auto record = addRecord(QStringLiteral("Test database"), QStringLiteral("test_database.kdb"),
                            KeePassServerDetail::SyncTypeHttpDownload, savePassword ? 1 : 0);
    if (savePassword) {
        keychain.store(record->serverUrl(), QStringLiteral("tulipfox"));
    }
    return record;
}

void ScreenTest::tapMenu(int section, int row) {
    menu->tableViewDidSelectRowAtIndexPath(section, row);
}

void ScreenTest::awaitOpenings() {
    QSignalSpy overlayChanges(progressOverlay.get(), &toolkit::ProgressOverlay::changed);
    while (progressOverlay->isVisible()) {
        ASSERT_TRUE(overlayChanges.wait(20000)) << "the open did not finish";
    }
    // The open's completion may have left deletions for the next loop turn.
    QCoreApplication::processEvents();
}

void ScreenTest::openFromMenu(int row) {
    tapMenu(ExampleMenuRootController::DatabasesSection, row);
    awaitOpenings();
}

DatabaseViewController* ScreenTest::browserAt(int stackIndex) const {
    const auto panels = stack->viewControllers();
    if (stackIndex < 0 || stackIndex >= panels.size()) {
        return nullptr;
    }
    auto* container = qobject_cast<toolkit::NavigationContainer*>(panels.at(stackIndex));
    return container != nullptr
               ? qobject_cast<DatabaseViewController*>(container->topViewController())
               : nullptr;
}

LoginViewController* ScreenTest::presentedLoginForm() const {
    auto* container =
        qobject_cast<toolkit::NavigationContainer*>(modalPresenter->presentedViewController());
    return container != nullptr ? qobject_cast<LoginViewController*>(container->topViewController())
                                : nullptr;
}

void ScreenTest::pressFormButton(const QString& label) {
    LoginViewController* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    for (toolkit::FormSection* section : form->form()->sections()) {
        for (toolkit::FormRow* row : section->rows()) {
            if (row->kind() == toolkit::FormRow::Kind::Button && row->label() == label) {
                row->select();
                return;
            }
        }
    }
    FAIL() << "no button " << label.toStdString();
}

void ScreenTest::typePasswordAndLogin(const QString& password) {
    LoginViewController* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    form->form()->rowForKey(QStringLiteral("password"))->enterText(password);
    pressFormButton(QStringLiteral("Login"));
    awaitOpenings();
}

QStringList ScreenTest::shownTitles() const {
    QStringList titles;
    for (const ShownPanel& panel : shownPanels) {
        titles.append(panel.title);
    }
    return titles;
}

void ScreenTest::runDeferredDeletes() const {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace screentest
