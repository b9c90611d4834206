// The launch of the application: the idle-watching window with the toolkit's scene, the main
// menu at the root of the stacked navigation, and the services the screens share.
#pragma once

#include "app/ZTLaunchParts.h"
#include "sync/DBServiceConfiguration.h"
#include "ui/ScreenServices.h"

#include <QObject>

#include <memory>

class ApplicationDatabaseSources;

namespace vaultora::sync {
class DBSession;
class ZTDropBoxSyncRunner;
} // namespace vaultora::sync
class ExampleMenuRootController;
class NavigationPanelStack;
class RZNIdlingWindow;

namespace toolkit {
class AlertPresenter;
class SystemUrlOpener;
} // namespace toolkit

class ScreenLaunchParts final : public ZTLaunchParts {
public:
    ScreenLaunchParts();
    ~ScreenLaunchParts() override;

    ZTIdleWatch* createWindow(ZTAppDelegate& delegate) override;
    ZTPanelStack* createNavigation(ZTAppDelegate& delegate) override;
    void createCrashReportManager(ZTAppDelegate& delegate) override;
    void createDropboxSession(ZTAppDelegate& delegate) override;

    // Where the Dropbox session finds the service and keeps its token; the defaults unless set
    // before the launch (tests point it at a local stand-in).
    void setDropboxService(vaultora::sync::DBServiceConfiguration configuration,
                           const QString& settingsFile);

    [[nodiscard]] RZNIdlingWindow* window() const { return m_window.get(); }
    [[nodiscard]] const ScreenServices& services() const { return m_services; }
    [[nodiscard]] ExampleMenuRootController* menu() const { return m_menu; }

private:
    ScreenServices m_services;
    std::unique_ptr<toolkit::SystemUrlOpener> m_urlOpener;
    std::unique_ptr<ApplicationDatabaseSources> m_sources;
    std::unique_ptr<NavigationPanelStack> m_panelStack;
    std::unique_ptr<toolkit::AlertPresenter> m_alertPresenter;
    std::unique_ptr<RZNIdlingWindow> m_window;
    ExampleMenuRootController* m_menu = nullptr;
    // The objects the scene draws; released after the window.
    std::unique_ptr<QObject> m_sceneObjects;
    vaultora::sync::DBServiceConfiguration m_dropboxConfiguration;
    QString m_dropboxSettingsFile;
    // The Dropbox session and the syncs that use it and the objects above; released first.
    std::unique_ptr<vaultora::sync::DBSession> m_dropboxSession;
    std::unique_ptr<vaultora::sync::ZTDropBoxSyncRunner> m_dropBox;
};
