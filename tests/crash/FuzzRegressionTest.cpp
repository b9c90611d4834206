// Crash reports on which the fuzz target once failed (fuzz-regressions), replayed with the same
// checks.
#include "support/CrashReportCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace vaultora::crash {
namespace {

TEST(CrashReportFuzzRegression, EveryStoredReportParsesOrIsRefused) {
    const QDir regressions(QStringLiteral(VAULTORA_CRASH_FUZZ_REGRESSIONS));
    const QStringList names = regressions.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(regressions.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QStringList problems = testing::checkCrashReport(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << name.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::crash
