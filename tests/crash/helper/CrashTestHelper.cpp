// A child process for the crash tests:
//   crash <caches directory> segv|abort|wait [file]
//                                         enables the collector, maps the file, and crashes
//                                         (wait: says "ready" and waits to be killed)
//   launch <caches directory> <settings file> <milliseconds since 1970>
//                                         runs the launch steps of the crash-report manager
//   format <report file>                  prints the crash-log text of a saved report
#include "crash/CrashCollector.h"
#include "crash/CrashReportFormatter.h"
#include "crash/CrashReportManager.h"
#include "crash/CrashReportParser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const QString pendingReportName = QStringLiteral("pending-crash-report");

std::unique_ptr<vaultora::crash::CrashCollector> collectorIn(const QString& cachesDirectory) {
    return std::make_unique<vaultora::crash::CrashCollector>(
        QDir(cachesDirectory).filePath(pendingReportName),
        vaultora::crash::CrashCollector::Identity{QStringLiteral("com.example.vaultora.tests"),
                                                  QStringLiteral("2.5.1"),
                                                  QStringLiteral("crash_test_helper")});
}

[[gnu::noinline]] void crashByWritingThroughNull() {
    // Read through a volatile so the compiler cannot see the null and replace the store with
    // a trap instruction.
    volatile int* volatile target = nullptr;
    *target = 42;
}

int crashNow(const QString& cachesDirectory, const QString& kind, const QString& mappedPath) {
    auto collector = collectorIn(cachesDirectory);
    // A mapped file stands for an open database, whose name must not reach the report.
    QFile mapped(mappedPath);
    if (!mappedPath.isEmpty() &&
        (!mapped.open(QIODevice::ReadOnly) || mapped.map(0, mapped.size()) == nullptr)) {
        return 6;
    }
    if (const auto error = collector->enableCrashReporter()) {
        std::fprintf(stderr, "could not enable: %s\n", qPrintable(*error));
        return 3;
    }
    if (kind == QLatin1String("abort")) {
        std::abort();
    }
    if (kind == QLatin1String("wait")) {
        std::puts("ready");
        std::fflush(stdout);
        for (;;) {
            ::pause();
        }
    }
    crashByWritingThroughNull();
    return 4;
}

int launch(const QString& cachesDirectory, const QString& settingsPath, qint64 milliseconds) {
    vaultora::crash::CrashReportEnvironment environment;
    environment.cachesDirectory = cachesDirectory;
    environment.applicationName = QStringLiteral("crash_test_helper");
    environment.displayName = QStringLiteral("Vaultora");
    environment.senderVersion = QStringLiteral("2.5.1");
    environment.platform = QStringLiteral("x86_64");
    environment.clock = [milliseconds] { return QDateTime::fromMSecsSinceEpoch(milliseconds); };
    const vaultora::crash::CrashReportManager manager(
        collectorIn(cachesDirectory),
        std::make_unique<QSettings>(settingsPath, QSettings::IniFormat), nullptr,
        std::move(environment));
    std::printf("crashed in last session: %d\n", manager.crashedInLastSession() ? 1 : 0);
    return 0;
}

int format(const QString& reportPath) {
    QFile file(reportPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return 3;
    }
    const auto report = vaultora::crash::CrashReportParser::parse(file.readAll());
    if (!report) {
        return 5;
    }
    std::fputs(qPrintable(vaultora::crash::CrashReportFormatter::format(*report)), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if ((arguments.size() == 4 || arguments.size() == 5) &&
        arguments[1] == QLatin1String("crash")) {
        return crashNow(arguments[2], arguments[3], arguments.value(4));
    }
    if (arguments.size() == 5 && arguments[1] == QLatin1String("launch")) {
        return launch(arguments[2], arguments[3], arguments[4].toLongLong());
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("format")) {
        return format(arguments[2]);
    }
    std::fputs("usage: crash_test_helper crash|launch|format ...\n", stderr);
    return 2;
}
