#pragma once

#include "app/ZTLaunchParts.h"

#include <QQmlApplicationEngine>

#include <memory>

class DatabaseNameListModel;

// The launch of this build: a plain window that lists the registered databases. The window
// with the idle watch, the main menu with the stacked navigation, the crash reports and the
// Dropbox session attach here once they exist.
class InterimLaunchParts final : public ZTLaunchParts {
public:
    InterimLaunchParts();
    ~InterimLaunchParts() override;

    ZTIdleWatch* createWindow(ZTAppDelegate& delegate) override;
    ZTPanelStack* createNavigation(ZTAppDelegate& delegate) override;
    void createCrashReportManager(ZTAppDelegate& delegate) override;
    void createDropboxSession(ZTAppDelegate& delegate) override;

    // The loaded window, or nullptr when it could not be created.
    [[nodiscard]] QObject* window() const;
    [[nodiscard]] DatabaseNameListModel* databaseNames() const { return m_databaseNames.get(); }

private:
    std::unique_ptr<DatabaseNameListModel> m_databaseNames;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
};
