// The pieces the screen tests share: an in-memory password store, recording stand-ins for the
// download routes and the browser, a fixture with a delegate over a temporary documents
// directory, the menu on a stacked navigation and a driven clock, and one with the whole
// application launched in its window.
#pragma once

#include "LaunchedApp.h"

#include "app/ApplicationController.h"
#include "app/KeychainBackend.h"
#include "ui/DatabaseSources.h"
#include "ui/MainMenu.h"
#include "ui/NavigationPanelStack.h"
#include "ui/ScreenServices.h"
#include "ui/SecretClipboard.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/BarButton.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "ui/toolkit/UrlOpener.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace vaultora::launch {
class ScreenLaunchParts;
} // namespace vaultora::launch

namespace vaultora::ui {
class DatabaseOpenFlow;
class GroupBrowser;
class IdleWatchingWindow;
class PasswordForm;
} // namespace vaultora::ui

namespace vaultora::test::screens {

// The folder of the source tree's test files.
[[nodiscard]] QString sourcePath(const QString& relative);
// The bundled sample database; master password "tulipfox".
[[nodiscard]] QString testDatabasePath();

class MemoryKeychain final : public vaultora::app::KeychainBackend {
public:
    std::int32_t findAttributes(const QString& account, const QString& service) override;
    std::int32_t findData(const QString& account, const QString& service,
                          std::optional<vaultora::kdb::SecureBytes>& data) override;
    std::int32_t add(const QString& account, const QString& service, const QString& label,
                     const vaultora::kdb::SecureBytes& data) override;
    std::int32_t update(const QString& account, const QString& service, const QString& label,
                        const vaultora::kdb::SecureBytes& data) override;
    std::int32_t remove(const QString& account, const QString& service) override;

    std::map<std::pair<QString, QString>, vaultora::kdb::SecureBytes> items;
};

// Installs an in-memory password store for its lifetime.
class ScopedMemoryKeychain {
public:
    ScopedMemoryKeychain();
    ~ScopedMemoryKeychain();
    ScopedMemoryKeychain(const ScopedMemoryKeychain&) = delete;
    ScopedMemoryKeychain& operator=(const ScopedMemoryKeychain&) = delete;

    void store(const QString& account, const QString& password);
    [[nodiscard]] MemoryKeychain& backend() { return *m_backend; }

private:
    MemoryKeychain* m_backend;
    std::unique_ptr<vaultora::app::KeychainBackend> m_previous;
};

class RecordingSources final : public vaultora::ui::DatabaseSources {
public:
    struct Download {
        QString url;
        QString fileName;
    };

    bool downloadFromURL(const QString& url, const QString& fileName) override;
    [[nodiscard]] bool isInternetReachable() const override { return reachable; }
    void syncWithDropbox(const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
                         vaultora::ui::DatabaseOpenFlow& flow) override;

    // Runs for each download; its result is the download's.
    std::function<bool(const Download&)> downloader = [](const Download&) { return false; };
    std::vector<Download> downloads;
    bool reachable = false;
    std::vector<std::shared_ptr<vaultora::base::DatabaseRecord>> dropboxSyncs;
    // The flows waiting for those syncs, in the same order.
    std::vector<QPointer<vaultora::ui::DatabaseOpenFlow>> dropboxFlows;
};

class RecordingUrlOpener final : public vaultora::toolkit::UrlOpener {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<QUrl> opened;
};

// The application as it starts, in its window, on a temporary documents directory with an
// in-memory password store; any QML warning fails the test. Fixtures that prepare something
// before the launch or the window afterwards do so around this SetUp.
class LaunchedAppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QTemporaryDir documents;
    ScopedMemoryKeychain keychain;
    std::unique_ptr<LaunchedApp> app;
    // The launched app's parts, for short.
    vaultora::app::ApplicationController* delegate = nullptr;
    vaultora::launch::ScreenLaunchParts* parts = nullptr;
    vaultora::ui::IdleWatchingWindow* window = nullptr;
    vaultora::toolkit::StackController* stack = nullptr;
    vaultora::ui::MainMenu* menu = nullptr;
};

struct ShownPanel {
    vaultora::toolkit::TransientPanel::Style style;
    QString title;
    QString subtitle;
};

// The title and image of a bar button, empty without one.
[[nodiscard]] QString barTitle(const vaultora::toolkit::BarButton* button);
[[nodiscard]] QString barImage(const vaultora::toolkit::BarButton* button);

class ScreenTest : public testing::Test {
protected:
    ScreenTest();
    ~ScreenTest() override;

    // Copies a file into the documents directory under the name.
    void installDatabase(const QString& sourceFile, const QString& name) const;
    // Appends a record to the registry and announces the change.
    std::shared_ptr<vaultora::base::DatabaseRecord>
    addRecord(const QString& displayName, const QString& databaseName, std::int32_t syncType,
              std::int32_t savePassword, const QString& serverUrl = {});
    // The sample database registered as a local file with its password saved.
    std::shared_ptr<vaultora::base::DatabaseRecord> addTestDatabase(bool savePassword = true);

    // Taps a row of the menu.
    void tapMenu(int section, int row);
    // Waits until no open is running any more.
    void awaitOpenings();
    // Chooses the database row and waits for its open flow to settle.
    void openFromMenu(int row);
    // The browser panel of the stacked panel at the index (inside its container).
    [[nodiscard]] vaultora::ui::GroupBrowser* browserAt(int stackIndex) const;
    [[nodiscard]] vaultora::ui::PasswordForm* presentedLoginForm() const;
    // Types into the form's password field and presses Login; waits for the result.
    void typePasswordAndLogin(const QString& password);
    void pressFormButton(const QString& label);
    [[nodiscard]] QStringList shownTitles() const;
    void runDeferredDeletes() const;

    QTemporaryDir documents;
    ScopedMemoryKeychain keychain;
    std::shared_ptr<vaultora::toolkit::ManualTimerFactory> timers;
    RecordingSources sources;
    RecordingUrlOpener urlOpener;
    std::unique_ptr<vaultora::app::ApplicationController> delegate;
    vaultora::ui::ScreenServices services;
    std::unique_ptr<vaultora::toolkit::ModalPresenter> modalPresenter;
    std::unique_ptr<vaultora::toolkit::TransientPanelHost> transientPanels;
    std::unique_ptr<vaultora::toolkit::ProgressOverlay> progressOverlay;
    std::unique_ptr<vaultora::toolkit::AlertPresenter> alerts;
    std::unique_ptr<vaultora::ui::SecretClipboard> secretClipboard;
    std::unique_ptr<vaultora::ui::NavigationPanelStack> panelStack;
    std::unique_ptr<vaultora::toolkit::StackController> stack;
    vaultora::ui::MainMenu* menu = nullptr;
    std::vector<ShownPanel> shownPanels;
};

} // namespace vaultora::test::screens
