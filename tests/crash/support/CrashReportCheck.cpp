#include "support/CrashReportCheck.h"

#include "crash/CrashReportFormatter.h"
#include "crash/CrashReportParser.h"

namespace vaultora::crash::testing {

QStringList checkCrashReport(const QByteArray& bytes) {
    QStringList problems;
    const std::optional<CrashReport> report = CrashReportParser::parse(bytes);
    if (!report) {
        return problems;
    }
    if (report->applicationIdentifier.isEmpty() || report->applicationVersion.isEmpty() ||
        report->operatingSystemVersion.isEmpty()) {
        problems.append(QStringLiteral("a report without its identity parsed"));
    }
    for (const CrashReport::Image& image : report->images) {
        if (image.end < image.start) {
            problems.append(QStringLiteral("an image ends before it starts"));
        }
    }
    const QString home = QStringLiteral("/home/reporter");
    const QString log = CrashReportFormatter::format(*report, home);
    // The log promises no file names below the home directory.
    if (log.contains(home + QLatin1Char('/'))) {
        problems.append(QStringLiteral("the crash log shows the home directory"));
    }
    return problems;
}

} // namespace vaultora::crash::testing
