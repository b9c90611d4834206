// The fixture of the settings, about and help screen tests: a launched delegate over a
// documents folder inside a temporary root (so that files beside the documents can be made),
// the real password store, the menu on a stacked navigation with the settings screens wired
// in, a driven clock, and recording stand-ins for the download routes, the browser, the idle
// watch and the details form's sub-screens.
#pragma once

#include "app/ApplicationController.h"
#include "app/IdleWatch.h"
#include "ui/DatabaseDetailsSubScreens.h"
#include "ui/DatabaseSources.h"
#include "ui/MainMenu.h"
#include "ui/NavigationPanelStack.h"
#include "ui/ScreenServices.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "ui/toolkit/UrlOpener.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vaultora::ui {
class DatabaseDetailsScreen;
class DatabaseListScreen;
} // namespace vaultora::ui

namespace vaultora::test::settings {

class RecordingIdleWatch final : public vaultora::app::IdleWatch {
public:
    void setTimerValue(double seconds) override { timerValues.push_back(seconds); }
    std::vector<double> timerValues;
};

class StubSources final : public vaultora::ui::DatabaseSources {
public:
    struct Download {
        QString url;
        QString fileName;
    };
    bool downloadFromURL(const QString& url, const QString& fileName) override {
        downloads.push_back({url, fileName});
        return true;
    }
    [[nodiscard]] bool isInternetReachable() const override { return reachable; }
    void syncWithDropbox(const std::shared_ptr<vaultora::base::DatabaseRecord>&,
                         vaultora::ui::DatabaseOpenFlow&) override {}

    std::vector<Download> downloads;
    bool reachable = true;
};

class RecordingUrlOpener final : public vaultora::toolkit::UrlOpener {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<QUrl> opened;
};

// Hands out empty panels for the sub-screens and records what was asked of them.
class RecordingSubScreens final : public vaultora::ui::DatabaseDetailsSubScreens {
public:
    struct Opened {
        QString screen;
        QString directory;
        std::shared_ptr<vaultora::base::DatabaseRecord> record;
        vaultora::ui::DatabaseDetailsScreen* rootView;
    };
    std::unique_ptr<vaultora::toolkit::Panel>
    createUploadScreen(const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
                       vaultora::ui::DatabaseDetailsScreen& rootView) override;
    std::unique_ptr<vaultora::toolkit::Panel>
    createDropboxPicker(const QString& directory,
                        const std::shared_ptr<vaultora::base::DatabaseRecord>& record,
                        vaultora::ui::DatabaseDetailsScreen& rootView) override;
    void
    downloadDropboxFile(const std::shared_ptr<vaultora::base::DatabaseRecord>& record) override {
        dropboxDownloads.push_back(record);
    }
    void unlinkDropbox() override { ++unlinks; }

    std::vector<Opened> opened;
    std::vector<std::shared_ptr<vaultora::base::DatabaseRecord>> dropboxDownloads;
    int unlinks = 0;
};

struct ShownPanel {
    vaultora::toolkit::TransientPanel::Style style;
    QString title;
    QString subtitle;
};

class SettingsScreenTest : public testing::Test {
protected:
    SettingsScreenTest();
    ~SettingsScreenTest() override;

    // Skips when the session has no Secret Service (run through scripts/test).
    void SetUp() override;
    // Removes the password-store items of the accounts the test used.
    void TearDown() override;

    // An address no other test uses, as the account of a saved password.
    [[nodiscard]] QString uniqueUrl(const QString& fileName);
    void storePassword(const QString& account, const QString& password) const;
    [[nodiscard]] QString storedPassword(const QString& account) const;
    [[nodiscard]] bool hasStoredPassword(const QString& account) const;

    std::shared_ptr<vaultora::base::DatabaseRecord> addRecord(const QString& displayName,
                                                              const QString& databaseName,
                                                              std::int32_t syncType,
                                                              const QString& serverUrl = {});
    void writeDocument(const QString& name, const QByteArray& bytes = "kdb") const;
    // The names in the documents directory, hidden ones included, sorted and joined by " | ".
    [[nodiscard]] std::string documentNames() const;
    [[nodiscard]] QByteArray registryFile() const;

    // Taps a row of the menu's settings section and returns the screen it put on the stack.
    vaultora::toolkit::Panel* openSettingsRow(vaultora::ui::MainMenu::SettingsScreen screen);
    [[nodiscard]] vaultora::toolkit::NavigationContainer* topContainer() const;
    // The database list that the menu's "Databases" row opened.
    vaultora::ui::DatabaseListScreen* openDatabaseList();
    [[nodiscard]] vaultora::ui::DatabaseDetailsScreen* topDetails() const;
    // A details screen for the record, on its own (not on the stack).
    std::unique_ptr<vaultora::ui::DatabaseDetailsScreen>
    detailsFor(const std::shared_ptr<vaultora::base::DatabaseRecord>& record, int index);

    // The row with the label; a missing row fails the test by throwing.
    [[nodiscard]] static vaultora::toolkit::FormRow&
    rowLabelled(const vaultora::toolkit::FormPanel& panel, const QString& label);
    // The bar button; a missing one fails the test by throwing.
    [[nodiscard]] static vaultora::toolkit::BarButton&
    leftButton(const vaultora::toolkit::Panel& panel);
    [[nodiscard]] static vaultora::toolkit::BarButton&
    rightButton(const vaultora::toolkit::Panel& panel);
    [[nodiscard]] static vaultora::toolkit::FormRow&
    typeChoice(const vaultora::ui::DatabaseDetailsScreen& details);
    static void press(const vaultora::toolkit::FormPanel& panel, const QString& label);
    [[nodiscard]] static QStringList sectionTitles(const vaultora::toolkit::FormModel& form);
    [[nodiscard]] static QStringList rowLabels(const vaultora::toolkit::FormModel& form);
    void runDeferredDeletes() const;

    int databasesChangedCount = 0;
    int settingsChangedCount = 0;

    QTemporaryDir root;
    QString documents;
    std::shared_ptr<vaultora::toolkit::ManualTimerFactory> timers;
    StubSources sources;
    RecordingUrlOpener urlOpener;
    RecordingIdleWatch idleWatch;
    std::shared_ptr<RecordingSubScreens> subScreens;
    std::unique_ptr<vaultora::app::ApplicationController> delegate;
    vaultora::ui::ScreenServices services;
    std::unique_ptr<vaultora::toolkit::ModalPresenter> modalPresenter;
    std::unique_ptr<vaultora::toolkit::TransientPanelHost> transientPanels;
    std::unique_ptr<vaultora::toolkit::ProgressOverlay> progressOverlay;
    std::unique_ptr<vaultora::toolkit::AlertPresenter> alerts;
    std::unique_ptr<vaultora::ui::NavigationPanelStack> panelStack;
    std::unique_ptr<vaultora::toolkit::StackController> stack;
    vaultora::ui::MainMenu* menu = nullptr;
    std::vector<ShownPanel> shownPanels;

private:
    QStringList m_accounts;
    QObject m_observerOwner;
};

} // namespace vaultora::test::settings
