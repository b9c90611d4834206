#pragma once

#include "crash/CrashReport.h"

#include <QDir>
#include <QString>

namespace vaultora::crash {

// Renders a crash report as the usual crash-log text: a header, the crashed thread's frames
// with symbol names where they can be found, and the code images. The user's home directory
// is shown as "~" wherever a path holds it, because the report promises no file names.
class CrashReportFormatter final {
public:
    CrashReportFormatter() = delete;
    [[nodiscard]] static QString format(const CrashReport& report,
                                        const QString& homeDirectory = QDir::homePath());
};

} // namespace vaultora::crash
