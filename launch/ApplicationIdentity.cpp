#include "launch/ApplicationIdentity.h"

#include "app/PrivateStorage.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>

namespace vaultora::launch {

void identifyAsTheApplication(const QString& version) {
    QGuiApplication::setApplicationName(QStringLiteral("Vaultora"));
    // The organisation gives the settings file a folder of its own; earlier versions had none.
    QGuiApplication::setOrganizationName(QStringLiteral("Vaultora"));
    const QString settingsFile = QSettings().fileName();
    app::PrivateStorage::adoptSettingsFile(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/Unknown Organization/Vaultora.conf"),
        settingsFile);
    app::PrivateStorage::restrictFile(settingsFile);
    QGuiApplication::setApplicationVersion(version);
    // Without a display (offscreen) there is no graphics context to draw with.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
}

} // namespace vaultora::launch
