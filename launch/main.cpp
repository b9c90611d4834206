#include "app/ApplicationController.h"
#include "app/PrivateStorage.h"
#include "launch/ScreenLaunchParts.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

int main(int argc, char* argv[]) {
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
