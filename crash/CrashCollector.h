#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vaultora::crash {

// Catches a crash of this process and keeps its report in one pending file until the next
// launch has dealt with it. The report holds the application's identity, the signal, the
// time, the stack frames and the code images they fall in: never database contents,
// passwords, database file names or addresses of databases.
class CrashCollector final {
public:
    struct Identity {
        QString applicationIdentifier;
        QString applicationVersion;
        QString processName;
    };

    CrashCollector(QString pendingReportPath, Identity identity);
    // Stops catching crashes when this collector turned it on.
    ~CrashCollector();
    CrashCollector(const CrashCollector&) = delete;
    CrashCollector& operator=(const CrashCollector&) = delete;

    [[nodiscard]] bool hasPendingCrashReport() const;
    // The pending report, or nothing with the reason in error.
    [[nodiscard]] std::optional<QByteArray> loadPendingCrashReport(QString& error) const;
    // Removes the pending report; true when none is left.
    bool purgePendingCrashReport();
    // Starts catching crashes; returns the reason on failure. Only one collector of a process
    // can be enabled at a time.
    [[nodiscard]] std::optional<QString> enableCrashReporter();
    [[nodiscard]] bool isEnabled() const { return m_enabled; }

    [[nodiscard]] const QString& pendingReportPath() const { return m_pendingReportPath; }
    // Kernel name and release with the distribution's name, e.g. "Linux 6.1.0 (Debian 12)".
    [[nodiscard]] static QString operatingSystemVersion();

private:
    QString m_pendingReportPath;
    Identity m_identity;
    bool m_enabled = false;
};

} // namespace vaultora::crash
