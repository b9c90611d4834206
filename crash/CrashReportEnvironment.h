#pragma once

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>

namespace vaultora::crash {

// What the crash-report manager takes from its surroundings, so tests can set each of it.
struct CrashReportEnvironment {
    // The caches directory; reports saved for sending go into its "crashes" folder.
    QString cachesDirectory;
    // The executable's name.
    QString applicationName;
    // The name the question shows.
    QString displayName;
    // The running application's build version.
    QString senderVersion;
    // The machine's hardware name.
    QString platform;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTimeUtc(); };
    // From setting the submission address to the check for reports.
    std::chrono::milliseconds startDelay{1000};

    // The values of the running application.
    [[nodiscard]] static CrashReportEnvironment current();
};

} // namespace vaultora::crash
