// Request streams on which the web-server fuzz target once failed (fuzz-regressions, in the
// shape of support/RequestStreamCheck.h), replayed with the same checks.
#include "support/RequestStreamCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vaultora::webserver {
namespace {

TEST(WebServerFuzzRegression, EveryStoredStreamPassesTheChecks) {
    const QDir regressions(QStringLiteral(VAULTORA_WEBSERVER_FUZZ_REGRESSIONS));
    const QStringList names = regressions.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    const QTemporaryDir documents;
    ASSERT_TRUE(documents.isValid());
    for (const QString& name : names) {
        QFile file(regressions.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QStringList problems = testing::checkRequestStream(file.readAll(), documents.path());
        EXPECT_TRUE(problems.isEmpty())
            << name.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::webserver
