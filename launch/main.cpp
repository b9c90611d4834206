#include "app/ApplicationController.h"
#include "app/PrivateStorage.h"
#include "launch/ScreenLaunchParts.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <string_view>

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it works without a display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("vaultora %s\n", VAULTORA_VERSION);
        return 0;
    }
    vaultora::app::PrivateStorage::restrictNewFiles();
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Vaultora"));
    // The organisation gives the settings file a folder of its own; earlier versions had none.
    QGuiApplication::setOrganizationName(QStringLiteral("Vaultora"));
    const QString settingsFile = QSettings().fileName();
    vaultora::app::PrivateStorage::adoptSettingsFile(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Unknown Organization/Vaultora.conf"),
        settingsFile);
    vaultora::app::PrivateStorage::restrictFile(settingsFile);
    QGuiApplication::setApplicationVersion(QStringLiteral(VAULTORA_VERSION));
    // Without a display (offscreen) there is no graphics context to draw with.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }

    vaultora::app::ApplicationController delegate(
        std::make_unique<vaultora::launch::ScreenLaunchParts>());
    delegate.didFinishLaunchingWithOptions();
    return QGuiApplication::exec();
}
