// The pieces the screen tests share: an in-memory password store, recording stand-ins for the
// download routes and the browser, and a fixture with a delegate over a temporary documents
// directory, the menu on a stacked navigation and a driven clock.
#pragma once

#include "app/KeychainBackend.h"
#include "app/ZTAppDelegate.h"
#include "ui/DatabaseSources.h"
#include "ui/ExampleMenuRootController.h"
#include "ui/NavigationPanelStack.h"
#include "ui/ScreenServices.h"
#include "ui/toolkit/BarButton.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "ui/toolkit/UrlOpener.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class DatabaseViewController;
class LoginViewController;

namespace screentest {

// The folder of the source tree's test files.
[[nodiscard]] QString sourcePath(const QString& relative);
// The bundled sample database; master password "tulipfox".
[[nodiscard]] QString testDatabasePath();

class MemoryKeychain final : public KeychainBackend {
public:
    std::int32_t findAttributes(const QString& account, const QString& service) override;
    std::int32_t findData(const QString& account, const QString& service,
                          std::optional<kdb::SecureBytes>& data) override;
    std::int32_t add(const QString& account, const QString& service, const QString& label,
                     const kdb::SecureBytes& data) override;
    std::int32_t update(const QString& account, const QString& service, const QString& label,
                        const kdb::SecureBytes& data) override;
    std::int32_t remove(const QString& account, const QString& service) override;

    std::map<std::pair<QString, QString>, kdb::SecureBytes> items;
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
    std::unique_ptr<KeychainBackend> m_previous;
};

class RecordingSources final : public DatabaseSources {
public:
    struct Download {
        QString url;
        QString fileName;
    };

    bool downloadFromURL(const QString& url, const QString& fileName) override;
    [[nodiscard]] bool isInternetReachable() const override { return reachable; }
    void syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                         DatabaseViewController& panel) override;

    // Runs for each download; its result is the download's.
    std::function<bool(const Download&)> downloader = [](const Download&) { return false; };
    std::vector<Download> downloads;
    bool reachable = false;
    std::vector<std::shared_ptr<KeePassServerDetail>> dropboxSyncs;
};

class RecordingUrlOpener final : public toolkit::UrlOpener {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<QUrl> opened;
};

struct ShownPanel {
    toolkit::TransientPanel::Style style;
    QString title;
    QString subtitle;
};

// The title and image of a bar button, empty without one.
[[nodiscard]] QString barTitle(const toolkit::BarButton* button);
[[nodiscard]] QString barImage(const toolkit::BarButton* button);

class ScreenTest : public testing::Test {
protected:
    ScreenTest();
    ~ScreenTest() override;

    // Copies a file into the documents directory under the name.
    void installDatabase(const QString& sourceFile, const QString& name) const;
    // Appends a record to the registry and announces the change.
    std::shared_ptr<KeePassServerDetail> addRecord(const QString& displayName,
                                                   const QString& databaseName,
                                                   std::int32_t syncType, std::int32_t savePassword,
                                                   const QString& serverUrl = {});
    // The sample database registered as a local file with its password saved.
    std::shared_ptr<KeePassServerDetail> addTestDatabase(bool savePassword = true);

    // Taps a row of the menu.
    void tapMenu(int section, int row);
    // Waits until no open is running any more.
    void awaitOpenings();
    // Chooses the database row and waits for its open flow to settle.
    void openFromMenu(int row);
    // The browser panel of the stacked panel at the index (inside its container).
    [[nodiscard]] DatabaseViewController* browserAt(int stackIndex) const;
    [[nodiscard]] LoginViewController* presentedLoginForm() const;
    // Types into the form's password field and presses Login; waits for the result.
    void typePasswordAndLogin(const QString& password);
    void pressFormButton(const QString& label);
    [[nodiscard]] QStringList shownTitles() const;
    void runDeferredDeletes() const;

    QTemporaryDir documents;
    ScopedMemoryKeychain keychain;
    std::shared_ptr<toolkit::ManualTimerFactory> timers;
    RecordingSources sources;
    RecordingUrlOpener urlOpener;
    std::unique_ptr<ZTAppDelegate> delegate;
    ScreenServices services;
    std::unique_ptr<toolkit::ModalPresenter> modalPresenter;
    std::unique_ptr<toolkit::TransientPanelHost> transientPanels;
    std::unique_ptr<toolkit::ProgressOverlay> progressOverlay;
    std::unique_ptr<NavigationPanelStack> panelStack;
    std::unique_ptr<toolkit::StackController> stack;
    ExampleMenuRootController* menu = nullptr;
    std::vector<ShownPanel> shownPanels;
};

} // namespace screentest
