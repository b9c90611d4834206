#include "ScreenTestSupport.h"

#include "app/LaunchParts.h"
#include "app/PasswordStore.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/DatabaseOpenFlow.h"
#include "ui/GroupBrowser.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

namespace vaultora::test::screens {

QString sourcePath(const QString& relative) {
    return QStringLiteral(VAULTORA_SOURCE_DIR "/") + relative;
}

QString testDatabasePath() {
    return sourcePath(QStringLiteral("app/resources/test_database.kdb"));
}

QString barTitle(const vaultora::toolkit::BarButton* button) {
    return button != nullptr ? button->title() : QString();
}

QString barImage(const vaultora::toolkit::BarButton* button) {
    return button != nullptr ? button->imageName() : QString();
}

std::int32_t MemoryKeychain::findAttributes(const QString& account, const QString& service) {
    return items.contains({account, service}) ? vaultora::app::KeychainStatus::success
                                              : vaultora::app::KeychainStatus::itemNotFound;
}

std::int32_t MemoryKeychain::findData(const QString& account, const QString& service,
                                      std::optional<vaultora::kdb::SecureBytes>& data) {
    const auto found = items.find({account, service});
    if (found == items.end()) {
        data.reset();
        return vaultora::app::KeychainStatus::itemNotFound;
    }
    data = found->second;
    return vaultora::app::KeychainStatus::success;
}

std::int32_t MemoryKeychain::add(const QString& account, const QString& service, const QString&,
                                 const vaultora::kdb::SecureBytes& data) {
    if (items.contains({account, service})) {
        return vaultora::app::KeychainStatus::duplicateItem;
    }
    items[{account, service}] = data;
    return vaultora::app::KeychainStatus::success;
}

std::int32_t MemoryKeychain::update(const QString& account, const QString& service, const QString&,
                                    const vaultora::kdb::SecureBytes& data) {
    const auto found = items.find({account, service});
    if (found == items.end()) {
        return vaultora::app::KeychainStatus::itemNotFound;
    }
    found->second = data;
    return vaultora::app::KeychainStatus::success;
}

std::int32_t MemoryKeychain::remove(const QString& account, const QString& service) {
    return items.erase({account, service}) > 0 ? vaultora::app::KeychainStatus::success
                                               : vaultora::app::KeychainStatus::itemNotFound;
}

ScopedMemoryKeychain::ScopedMemoryKeychain() {
    auto backend = std::make_unique<MemoryKeychain>();
    m_backend = backend.get();
    m_previous = vaultora::app::PasswordStore::setBackend(std::move(backend));
}

ScopedMemoryKeychain::~ScopedMemoryKeychain() {
    vaultora::app::PasswordStore::setBackend(std::move(m_previous));
}

void ScopedMemoryKeychain::store(const QString& account, const QString& password) {
    m_backend->items[{account, QStringLiteral("Vaultora")}] =
        vaultora::kdb::secureBytesFromText(password.toStdString());
}

bool RecordingSources::downloadFromURL(const QString& url, const QString& fileName) {
    downloads.push_back({url, fileName});
    return downloader(downloads.back());
}

void RecordingSources::syncWithDropbox(
    const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
    vaultora::ui::DatabaseOpenFlow& flow) {
    dropboxSyncs.push_back(record);
    dropboxFlows.emplace_back(&flow);
}

namespace {

// Hands the delegate the fixture's panel stack, as the application's launch parts do.
class FixtureLaunchParts final : public vaultora::app::LaunchParts {
public:
    explicit FixtureLaunchParts(std::unique_ptr<vaultora::ui::NavigationPanelStack>& panelStack)
        : m_panelStack(panelStack) {}

    vaultora::app::IdleWatch* createWindow(vaultora::app::ApplicationController&) override {
        return nullptr;
    }
    vaultora::app::PanelStack* createNavigation(vaultora::app::ApplicationController&) override {
        return m_panelStack.get();
    }
    void createCrashReportManager(vaultora::app::ApplicationController&) override {}
    void createDropboxSession(vaultora::app::ApplicationController&) override {}

private:
    std::unique_ptr<vaultora::ui::NavigationPanelStack>& m_panelStack;
};

// A registry with the default settings and no database.
constexpr char emptyRegistry[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>AutoLogoutTimer</key><integer>5</integer></dict></plist>
)";

} // namespace

ScreenTest::ScreenTest() : timers(std::make_shared<vaultora::toolkit::ManualTimerFactory>()) {
    delegate = std::make_unique<vaultora::app::ApplicationController>(
        std::make_unique<FixtureLaunchParts>(panelStack), documents.path());
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
    secretClipboard = std::make_unique<vaultora::ui::SecretClipboard>(timers);
    services.clipboard = secretClipboard.get();
    panelStack = std::make_unique<vaultora::ui::NavigationPanelStack>(services);
    auto ownedMenu = std::make_unique<vaultora::ui::MainMenu>(services, *panelStack);
    menu = ownedMenu.get();
    stack = std::make_unique<vaultora::toolkit::StackController>(std::move(ownedMenu));
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

std::shared_ptr<vaultora::base::DatabaseRecord>
ScreenTest::addRecord(const QString& displayName, const QString& databaseName,
                      std::int32_t syncType, std::int32_t savePassword, const QString& serverUrl) {
    auto record = std::make_shared<vaultora::base::DatabaseRecord>();
    record->setServerDisplayName(displayName);
    record->setDatabaseName(databaseName);
    record->setServerUrl(serverUrl.isNull() ? QStringLiteral("https://example.org/") + databaseName
                                            : serverUrl);
    record->setSyncType(syncType);
    record->setSavePassword(savePassword);
    delegate->serverArray().push_back(record);
    vaultora::base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    return record;
}

std::shared_ptr<vaultora::base::DatabaseRecord> ScreenTest::addTestDatabase(bool savePassword) {
    installDatabase(testDatabasePath(), QStringLiteral("test_database.kdb"));
    auto record =
        addRecord(QStringLiteral("Test database"), QStringLiteral("test_database.kdb"),
                  vaultora::base::DatabaseRecord::SyncTypeHttpDownload, savePassword ? 1 : 0);
    if (savePassword) {
        keychain.store(record->serverUrl(), QStringLiteral("tulipfox"));
    }
    return record;
}

void ScreenTest::tapMenu(int section, int row) {
    menu->tableViewDidSelectRowAtIndexPath(section, row);
}

void ScreenTest::awaitOpenings() {
    QSignalSpy overlayChanges(progressOverlay.get(), &vaultora::toolkit::ProgressOverlay::changed);
    while (progressOverlay->isVisible()) {
        ASSERT_TRUE(overlayChanges.wait(20000)) << "the open did not finish";
    }
    // The open's completion may have left deletions for the next loop turn.
    QCoreApplication::processEvents();
}

void ScreenTest::openFromMenu(int row) {
    tapMenu(vaultora::ui::MainMenu::DatabasesSection, row);
    awaitOpenings();
}

vaultora::ui::GroupBrowser* ScreenTest::browserAt(int stackIndex) const {
    const auto panels = stack->viewControllers();
    if (stackIndex < 0 || stackIndex >= panels.size()) {
        return nullptr;
    }
    auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(panels.at(stackIndex));
    return container != nullptr ? qobject_cast<vaultora::ui::GroupBrowser*>(container->topPanel())
                                : nullptr;
}

vaultora::ui::PasswordForm* ScreenTest::presentedLoginForm() const {
    auto* container =
        qobject_cast<vaultora::toolkit::NavigationContainer*>(modalPresenter->presentedPanel());
    return container != nullptr ? qobject_cast<vaultora::ui::PasswordForm*>(container->topPanel())
                                : nullptr;
}

void ScreenTest::pressFormButton(const QString& label) {
    vaultora::ui::PasswordForm* form = presentedLoginForm();
    ASSERT_NE(form, nullptr);
    for (vaultora::toolkit::FormSection* section : form->form()->sections()) {
        for (vaultora::toolkit::FormRow* row : section->rows()) {
            if (row->kind() == vaultora::toolkit::FormRow::Kind::Button && row->label() == label) {
                row->select();
                return;
            }
        }
    }
    FAIL() << "no button " << label.toStdString();
}

void ScreenTest::typePasswordAndLogin(const QString& password) {
    vaultora::ui::PasswordForm* form = presentedLoginForm();
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

void LaunchedAppTest::SetUp() {
    app = std::make_unique<LaunchedApp>(documents.path());
    delegate = &app->delegate();
    parts = &app->parts();
    ASSERT_TRUE(app->launch()) << "the application did not come up in a window";
    window = app->window();
    stack = app->stack();
    menu = app->menu();
}

void LaunchedAppTest::TearDown() {
    if (app) {
        for (const QQmlError& warning : app->qmlWarnings()) {
            ADD_FAILURE() << warning.toString().toStdString();
        }
    }
}

} // namespace vaultora::test::screens
