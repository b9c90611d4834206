#include "QtPrinters.h"

#include "crash/CrashReportParser.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimeZone>

#include <csignal>

namespace {

struct ChildResult {
    QProcess::ExitStatus status = QProcess::NormalExit;
    int code = -1;
    QByteArray output;
};

ChildResult runHelper(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(CRASH_TEST_HELPER), arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << "the helper did not finish";
    return {process.exitStatus(), process.exitCode(), process.readAllStandardOutput()};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CrashInChildProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_directory.isValid()); }

    QString caches() const { return m_directory.filePath(QStringLiteral("caches")); }
    QString pendingReport() const { return caches() + QStringLiteral("/pending-crash-report"); }
    QString crashes() const { return caches() + QStringLiteral("/crashes"); }
    QString settingsPath() const { return m_directory.filePath(QStringLiteral("defaults.ini")); }

    void crashChild(const QString& kind, int expectedSignal, const QString& mapped = {}) {
        QStringList arguments{QStringLiteral("crash"), caches(), kind};
        if (!mapped.isEmpty()) {
            arguments << mapped;
        }
        const ChildResult result = runHelper(arguments);
        ASSERT_EQ(result.status, QProcess::CrashExit);
        ASSERT_EQ(result.code, expectedSignal);
        ASSERT_TRUE(QFile::exists(pendingReport()));
    }

    // Launches the manager in a child with its clock at the given seconds after 2001-01-01.
    ChildResult launchChild(double secondsSince2001) {
        const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
        const qint64 milliseconds =
            reference.toMSecsSinceEpoch() + static_cast<qint64>(secondsSince2001 * 1000.0);
        return runHelper(
            {QStringLiteral("launch"), caches(), settingsPath(), QString::number(milliseconds)});
    }

    QTemporaryDir m_directory;
};

TEST_F(CrashInChildProcess, NullDereferenceDiesBySegvAndLeavesAParsableReport) {
    QFile database(m_directory.filePath(QStringLiteral("private-finances.kdbx")));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.write(QByteArray(8192, 'k'));
    database.close();

    crashChild(QStringLiteral("segv"), SIGSEGV, database.fileName());

    const QByteArray bytes = readFile(pendingReport());
    EXPECT_FALSE(bytes.contains("private-finances")) << "a mapped data file reached the report";
    EXPECT_FALSE(QFile::exists(pendingReport() + QStringLiteral(".writing")));
    const auto report = vaultora::crash::CrashReportParser::parse(bytes);
    ASSERT_TRUE(report.has_value()) << bytes.constData();
    EXPECT_EQ(report->applicationIdentifier, QStringLiteral("com.example.vaultora.tests"));
    EXPECT_EQ(report->applicationVersion, QStringLiteral("2.5.1"));
    EXPECT_FALSE(report->operatingSystemVersion.isEmpty());
    EXPECT_EQ(report->processName, QStringLiteral("crash_test_helper"));
    EXPECT_EQ(report->signalNumber, SIGSEGV);
    EXPECT_EQ(report->faultAddress, 0u);
    EXPECT_TRUE(report->complete);
    ASSERT_FALSE(report->frames.isEmpty());
    // The handler's own frames are left out: the report starts at the faulting instruction.
    EXPECT_EQ(report->frames.first(), report->programCounter);
    EXPECT_NE(report->imageContaining(report->programCounter), nullptr);
    EXPECT_TRUE(report->imageContaining(report->programCounter)
                    ->path.endsWith(QStringLiteral("crash_test_helper")));

    // Formatted by the same program, as the next launch of the application would.
    const ChildResult formatted = runHelper({QStringLiteral("format"), pendingReport()});
    ASSERT_EQ(formatted.code, 0);
    EXPECT_TRUE(formatted.output.contains("SIGSEGV")) << formatted.output.constData();
    EXPECT_TRUE(formatted.output.contains("crashByWritingThroughNull"))
        << formatted.output.constData();
}

TEST_F(CrashInChildProcess, AbortDiesByAbortSignalWithAReport) {
    crashChild(QStringLiteral("abort"), SIGABRT);
    const auto report = vaultora::crash::CrashReportParser::parse(readFile(pendingReport()));
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->signalNumber, SIGABRT);
    EXPECT_FALSE(report->frames.isEmpty());
}

TEST_F(CrashInChildProcess, SegvSentFromOutsideLeavesAReportAndKillsTheProcess) {
    QProcess process;
    process.start(QStringLiteral(CRASH_TEST_HELPER),
                  {QStringLiteral("crash"), caches(), QStringLiteral("wait")});
    ASSERT_TRUE(process.waitForReadyRead(60000));
    ASSERT_EQ(process.readLine().trimmed(), "ready");
    const qint64 processIdentifier = process.processId();
    ASSERT_EQ(::kill(static_cast<pid_t>(processIdentifier), SIGSEGV), 0);
    ASSERT_TRUE(process.waitForFinished(60000));

    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(process.exitCode(), SIGSEGV);
    const auto report = vaultora::crash::CrashReportParser::parse(readFile(pendingReport()));
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->signalNumber, SIGSEGV);
    EXPECT_EQ(report->signalCode, SI_USER);
    EXPECT_EQ(report->processIdentifier, processIdentifier);
}

TEST_F(CrashInChildProcess, NextLaunchSavesOneFileNamedBySecondsSince2001AndPurges) {
    crashChild(QStringLiteral("segv"), SIGSEGV);
    const QByteArray pending = readFile(pendingReport());

    const ChildResult launch = launchChild(700000000.4);
    ASSERT_EQ(launch.status, QProcess::NormalExit);
    ASSERT_EQ(launch.code, 0);
    EXPECT_TRUE(launch.output.contains("crashed in last session: 1"));

    const QStringList files = QDir(crashes()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files, QStringList{QStringLiteral("700000000")});
    EXPECT_EQ(readFile(crashes() + QStringLiteral("/700000000")), pending);
    EXPECT_FALSE(QFile::exists(pendingReport()));
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("QuincyKitAnalyzerStarted")).toInt(), 0);
    EXPECT_TRUE(settings.value(QStringLiteral("QuincyKitActivated")).toBool());

    // A launch without a new crash saves nothing more.
    ASSERT_EQ(launchChild(700000100.0).code, 0);
    EXPECT_EQ(QDir(crashes()).entryList(QDir::Files).size(), 1);
}

TEST_F(CrashInChildProcess, LaunchWithAnalyzerFlagLeftSetOnlyPurges) {
    crashChild(QStringLiteral("segv"), SIGSEGV);
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("QuincyKitAnalyzerStarted"), 1);
    }

    ASSERT_EQ(launchChild(700000000.0).code, 0);

    EXPECT_TRUE(QDir(crashes()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(QFile::exists(pendingReport()));
    const QSettings settings(settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("QuincyKitAnalyzerStarted")).toInt(), 0);
}

TEST_F(CrashInChildProcess, DeactivatedReportingKeepsThePendingReportUntouched) {
    crashChild(QStringLiteral("segv"), SIGSEGV);
    {
        QSettings settings(settingsPath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("QuincyKitActivated"), false);
    }

    const ChildResult launch = launchChild(700000000.0);
    ASSERT_EQ(launch.code, 0);

    EXPECT_TRUE(launch.output.contains("crashed in last session: 0"));
    EXPECT_TRUE(QFile::exists(pendingReport()));
    EXPECT_FALSE(QFileInfo::exists(crashes()));
}

} // namespace
