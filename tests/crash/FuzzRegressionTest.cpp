// Crash reports on which the fuzz target once failed (fuzz-regressions), and its seeds, replayed
// with the same checks.
#include "support/CrashReportCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vaultora::crash {
namespace {

TEST(CrashReportFuzzRegression, EveryStoredReportParsesOrIsRefused) {
    QStringList paths;
    for (const QString& directory : {QStringLiteral(VAULTORA_CRASH_FUZZ_REGRESSIONS),
                                     QStringLiteral(VAULTORA_CRASH_FUZZ_SEEDS)}) {
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files)) {
            paths.append(file.filePath());
        }
    }
    ASSERT_FALSE(paths.isEmpty());
    for (const QString& path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QStringList problems = testing::checkCrashReport(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << path.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::crash
