#include "crash/CrashReportEnvironment.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/utsname.h>

namespace vaultora::crash {

CrashReportEnvironment CrashReportEnvironment::current() {
    CrashReportEnvironment environment;
    // Spelled out rather than the application cache location, which moves with the
    // organisation name.
    environment.cachesDirectory =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/') +
        QCoreApplication::applicationName();
    environment.applicationName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // A graphical application carries its display name as a property of the application
    // object; reading it that way keeps this library free of the GUI module.
    const QString displayName =
        QCoreApplication::instance() != nullptr
            ? QCoreApplication::instance()->property("applicationDisplayName").toString()
            : QString();
    environment.displayName =
        displayName.isEmpty() ? QCoreApplication::applicationName() : displayName;
    environment.senderVersion = QCoreApplication::applicationVersion();
    utsname names{};
    if (::uname(&names) == 0) {
        environment.platform = QString::fromLocal8Bit(names.machine);
    }
    return environment;
}

} // namespace vaultora::crash
