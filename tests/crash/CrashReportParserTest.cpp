#include "QtPrinters.h"

#include "crash/CrashReportFormatter.h"
#include "crash/CrashReportParser.h"
#include "crash/CrashReporting.h"
#include "crash/CrashReportingConfiguration.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QByteArray header = "VaultoraCrashReport 1\nIdentifier: com.example.tests\nVersion: 3.1\n"
                          "OS Version: Linux 6.1.0\n";

TEST(CrashReportParser, RejectsReportsWithoutTheirIdentityOrWithBrokenNumbers) {
    EXPECT_FALSE(vaultora::crash::CrashReportParser::parse(QByteArray()));
    EXPECT_FALSE(
        vaultora::crash::CrashReportParser::parse("Identifier: a\nVersion: 1\nOS Version: x\n"));
    EXPECT_FALSE(vaultora::crash::CrashReportParser::parse("VaultoraCrashReport 1\nIdentifier: a\n"
                                                           "Version: 1\nEnd\n"));
    EXPECT_FALSE(vaultora::crash::CrashReportParser::parse(header + "Frame: 12zz\n"));
    EXPECT_FALSE(vaultora::crash::CrashReportParser::parse(header + "Signal: eleven\n"));
    EXPECT_FALSE(
        vaultora::crash::CrashReportParser::parse(header + "Image: 1000-zz r-xp 0 08:01 7 /a\n"));
}

TEST(CrashReportParser, ReadsACutShortReportAndImagePathsWithSpaces) {
    const auto report = vaultora::crash::CrashReportParser::parse(
        header + "Signal: 7\nFrame: 0x1010\nFrame: 0x2020\n"
                 "Image: 1000-3000 r-xp 00002000 08:01 99   /opt/My Apps/vaultora\n");
    ASSERT_TRUE(report.has_value());
    EXPECT_FALSE(report->complete);
    EXPECT_EQ(report->signalNumber, 7);
    EXPECT_EQ(report->frames, (QList<std::uint64_t>{0x1010, 0x2020}));
    ASSERT_EQ(report->images.size(), 1);
    EXPECT_EQ(report->images[0].path, QStringLiteral("/opt/My Apps/vaultora"));
    EXPECT_EQ(report->images[0].fileOffset, 0x2000u);
    EXPECT_EQ(report->images[0].inode, 99u);

    // Without symbols (the image is not loaded here) a frame is shown by its image offset.
    const QString text = vaultora::crash::CrashReportFormatter::format(*report);
    EXPECT_TRUE(text.contains(QStringLiteral("SIGBUS")));
    EXPECT_TRUE(text.contains(QStringLiteral("vaultora + %1").arg(0x1010 - 0x1000 + 0x2000)));
    EXPECT_TRUE(text.contains(QStringLiteral("cut short")));
}

TEST(CrashReportFormatter, ShowsTheHomeDirectoryAsATildeInEveryPath) {
    const auto report = vaultora::crash::CrashReportParser::parse(
        header + "Signal: 11\nFrame: 0x1010\n"
                 "Image: 1000-3000 r-xp 00000000 08:01 99 /home/alice/build/bin/vaultora\n"
                 "Image: 4000-5000 r-xp 00000000 08:01 98 /home/alice2/lib/libother.so\n"
                 "Image: 6000-7000 r-xp 00000000 08:01 97 /home/alice\n");
    ASSERT_TRUE(report.has_value());

    const QString text = vaultora::crash::CrashReportFormatter::format(*report, "/home/alice/");
    EXPECT_FALSE(text.contains(QStringLiteral("/home/alice/")));
    EXPECT_TRUE(text.contains(QStringLiteral(" ~/build/bin/vaultora\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(" /home/alice2/lib/libother.so\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(" ~\n")));
}

TEST(CrashReporting, TheEnvironmentNamesTheAddressOverTheBuildsEmptyDefault) {
    const QByteArray variable = "VAULTORA_CRASH_REPORT_ADDRESS";
    const QByteArray earlier = qgetenv(variable.constData());
    qunsetenv(variable.constData());
    EXPECT_EQ(vaultora::crash::configuredSubmissionAddress(),
              QStringLiteral(VAULTORA_CRASH_REPORT_ADDRESS));
    qputenv(variable.constData(), " https://crashes.test/submit ");
    EXPECT_EQ(vaultora::crash::configuredSubmissionAddress(),
              QStringLiteral("https://crashes.test/submit"));
    if (earlier.isNull()) {
        qunsetenv(variable.constData());
    } else {
        qputenv(variable.constData(), earlier);
    }
}

TEST(CrashReporting, CreatesTheManagerWithTheConfiguredAddressAndApplicationPaths) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, directory.path());
    QObject owner;

    vaultora::crash::CrashReportManager* manager =
        vaultora::crash::createCrashReportManager(nullptr, &owner);

    EXPECT_EQ(manager->parent(), &owner);
    EXPECT_EQ(manager->submissionAddress(), vaultora::crash::configuredSubmissionAddress());
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    EXPECT_EQ(manager->crashesDirectory(), caches + QStringLiteral("/crashes"));
    EXPECT_TRUE(manager->collector().pendingReportPath().startsWith(caches));
    EXPECT_TRUE(manager->collector().isEnabled());
    EXPECT_TRUE(manager->settings().fileName().startsWith(directory.path()));
}

} // namespace
