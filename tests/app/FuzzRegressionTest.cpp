// Property lists on which the registry fuzz target once failed (fuzz-regressions), replayed with
// the same checks.
#include "support/RegistryFileCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace vaultora::app {
namespace {

TEST(RegistryFuzzRegression, EveryStoredFileReadsAndSurvivesTheRoundTrip) {
    const QDir regressions(QStringLiteral(VAULTORA_APP_FUZZ_REGRESSIONS));
    const QStringList names = regressions.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(regressions.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QStringList problems = testing::checkRegistryFile(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << name.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::app
