#include "LaunchedApp.h"

#include "app/ApplicationController.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/IdleWatchingWindow.h"

#include <QQmlEngine>

namespace vaultora::test::screens {

LaunchedApp::LaunchedApp(const QString& documentsDirectory) {
    auto parts = std::make_unique<vaultora::launch::ScreenLaunchParts>();
    m_parts = parts.get();
    m_delegate = std::make_unique<vaultora::app::ApplicationController>(std::move(parts),
                                                                        documentsDirectory);
}

LaunchedApp::~LaunchedApp() = default;

bool LaunchedApp::launch() {
    if (!m_delegate->didFinishLaunchingWithOptions() || window() == nullptr) {
        return false;
    }
    QObject::connect(window()->engine(), &QQmlEngine::warnings, window(),
                     [this](const QList<QQmlError>& warnings) { m_qmlWarnings += warnings; });
    return true;
}

vaultora::ui::IdleWatchingWindow* LaunchedApp::window() const {
    return m_parts->window();
}

vaultora::toolkit::StackController* LaunchedApp::stack() const {
    return m_parts->services().stack;
}

vaultora::ui::MainMenu* LaunchedApp::menu() const {
    return m_parts->menu();
}

} // namespace vaultora::test::screens
