#include "app/ApplicationController.h"
#include "launch/ScreenLaunchParts.h"

#include <QGuiApplication>
#include <QQuickWindow>

#include <memory>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Vaultora"));
    QGuiApplication::setApplicationVersion(QStringLiteral(VAULTORA_VERSION));
    // Without a display (offscreen) there is no graphics context to draw with.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }

    vaultora::app::ApplicationController delegate(std::make_unique<vaultora::launch::ScreenLaunchParts>());
    delegate.didFinishLaunchingWithOptions();
    return QGuiApplication::exec();
}
