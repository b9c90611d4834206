// The application launched in this process as `vaultora` launches it: the screens' launch parts
// (window, scene, menu, services) under the application controller, on a documents directory
// of the caller's choosing. Plain Qt without the test framework, so that the benchmarks launch
// the app the same way; the tests' fixture around it is LaunchedAppTest (ScreenTestSupport.h).
#pragma once

#include <QList>
#include <QQmlError>
#include <QString>

#include <memory>

namespace vaultora::app {
class ApplicationController;
} // namespace vaultora::app

namespace vaultora::launch {
class ScreenLaunchParts;
} // namespace vaultora::launch

namespace vaultora::ui {
class IdleWatchingWindow;
class MainMenu;
} // namespace vaultora::ui

namespace vaultora::toolkit {
class StackController;
} // namespace vaultora::toolkit

namespace vaultora::test::screens {

class LaunchedApp final {
public:
    // The controller exists from here on, so that the registry can be prepared before the
    // launch; an empty documentsDirectory is the application's own.
    explicit LaunchedApp(const QString& documentsDirectory = {});
    ~LaunchedApp();
    LaunchedApp(const LaunchedApp&) = delete;
    LaunchedApp& operator=(const LaunchedApp&) = delete;

    // Settings, registry, window and menu, as at the application's start; false when no
    // window came up. From then on the QML engine's warnings are collected.
    [[nodiscard]] bool launch();

    [[nodiscard]] vaultora::app::ApplicationController& delegate() const { return *m_delegate; }
    [[nodiscard]] vaultora::launch::ScreenLaunchParts& parts() const { return *m_parts; }
    // These three are null before the launch.
    [[nodiscard]] vaultora::ui::IdleWatchingWindow* window() const;
    [[nodiscard]] vaultora::toolkit::StackController* stack() const;
    [[nodiscard]] vaultora::ui::MainMenu* menu() const;
    [[nodiscard]] const QList<QQmlError>& qmlWarnings() const { return m_qmlWarnings; }

private:
    vaultora::launch::ScreenLaunchParts* m_parts;
    // Owns the launch parts, and with them the window.
    std::unique_ptr<vaultora::app::ApplicationController> m_delegate;
    QList<QQmlError> m_qmlWarnings;
};

} // namespace vaultora::test::screens
