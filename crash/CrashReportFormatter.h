#pragma once

#include "crash/CrashReport.h"

#include <QString>

namespace vaultora::crash {

// Renders a crash report as the usual crash-log text: a header, the crashed thread's frames
// with symbol names where they can be found, and the code images.
class CrashReportFormatter final {
public:
    CrashReportFormatter() = delete;
    [[nodiscard]] static QString format(const CrashReport& report);
};

} // namespace vaultora::crash
