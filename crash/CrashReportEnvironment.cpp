#include "crash/CrashReportEnvironment.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/utsname.h>

namespace crash {

CrashReportEnvironment CrashReportEnvironment::current() {
    CrashReportEnvironment environment;
    environment.cachesDirectory = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    environment.applicationName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    environment.displayName = QCoreApplication::applicationName();
    environment.senderVersion = QCoreApplication::applicationVersion();
    utsname names{};
    if (::uname(&names) == 0) {
        environment.platform = QString::fromLocal8Bit(names.machine);
    }
    return environment;
}

} // namespace crash
