// Dropbox metadata answers on which the fuzz target once failed (fuzz-regressions), replayed with
// the same checks.
#include "support/DropboxMetadataCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace vaultora::sync {
namespace {

TEST(DropboxMetadataFuzzRegression, EveryStoredAnswerReadsAndArchives) {
    const QDir regressions(QStringLiteral(VAULTORA_SYNC_FUZZ_REGRESSIONS));
    const QStringList names = regressions.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(regressions.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QStringList problems = testing::checkDropboxMetadata(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << name.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::sync
