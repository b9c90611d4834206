// The launch of the application: the idle-watching window with the toolkit's scene, the main
// menu at the root of the stacked navigation, and the services the screens share.
#pragma once

#include "app/LaunchParts.h"
#include "sync/dropbox/DropboxServiceConfiguration.h"
#include "ui/ScreenServices.h"

#include <QObject>

#include <memory>

namespace vaultora::ui {
class ApplicationDatabaseSources;
class DropboxLoginScreenPresenter;
class MainMenu;
class NavigationPanelStack;
class IdleWatchingWindow;
class SecretClipboard;
} // namespace vaultora::ui

namespace vaultora::sync {
class DropboxSession;
class DropboxSyncRunner;
} // namespace vaultora::sync

namespace vaultora::toolkit {
class AlertPresenter;
class SystemUrlOpener;
} // namespace vaultora::toolkit

namespace vaultora::launch {

class ScreenLaunchParts final : public app::LaunchParts {
public:
    ScreenLaunchParts();
    ~ScreenLaunchParts() override;

    app::IdleWatch* createWindow(app::ApplicationController& delegate) override;
    app::PanelStack* createNavigation(app::ApplicationController& delegate) override;
    void createCrashReportManager(app::ApplicationController& delegate) override;
    void createDropboxSession(app::ApplicationController& delegate) override;

    // Where the Dropbox session finds the service and keeps its token; the defaults unless set
    // before the launch (tests point it at a local stand-in).
    void setDropboxService(vaultora::sync::DropboxServiceConfiguration configuration,
                           const QString& settingsFile);

    [[nodiscard]] ui::IdleWatchingWindow* window() const { return m_window.get(); }
    [[nodiscard]] const ui::ScreenServices& services() const { return m_services; }
    [[nodiscard]] ui::MainMenu* menu() const { return m_menu; }

private:
    ui::ScreenServices m_services;
    std::unique_ptr<toolkit::SystemUrlOpener> m_urlOpener;
    std::unique_ptr<ui::SecretClipboard> m_clipboard;
    std::unique_ptr<ui::ApplicationDatabaseSources> m_sources;
    std::unique_ptr<ui::NavigationPanelStack> m_panelStack;
    std::unique_ptr<toolkit::AlertPresenter> m_alertPresenter;
    std::unique_ptr<ui::IdleWatchingWindow> m_window;
    ui::MainMenu* m_menu = nullptr;
    // The objects the scene draws; released after the window.
    std::unique_ptr<QObject> m_sceneObjects;
    vaultora::sync::DropboxServiceConfiguration m_dropboxConfiguration;
    QString m_dropboxSettingsFile;
    // The Dropbox session and the syncs that use it and the objects above; released first.
    std::unique_ptr<vaultora::sync::DropboxSession> m_dropboxSession;
    std::unique_ptr<ui::DropboxLoginScreenPresenter> m_dropboxLogins;
    std::unique_ptr<vaultora::sync::DropboxSyncRunner> m_dropBox;
};

} // namespace vaultora::launch
