// Property lists on which the registry fuzz target once failed (fuzz-regressions), and
// its seeds, replayed with the same checks.
#include "support/RegistryFileCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vaultora::app {
namespace {

TEST(RegistryFuzzRegression, EveryStoredFileReadsAndSurvivesTheRoundTrip) {
    QStringList paths;
    for (const QString& directory :
         {QStringLiteral(VAULTORA_APP_FUZZ_REGRESSIONS), QStringLiteral(VAULTORA_APP_FUZZ_SEEDS)}) {
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files)) {
            paths.append(file.filePath());
        }
    }
    ASSERT_FALSE(paths.isEmpty());
    for (const QString& path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QStringList problems = testing::checkRegistryFile(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << path.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::app
