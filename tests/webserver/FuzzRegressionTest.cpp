// Request streams on which the web-server fuzz target once failed (fuzz-regressions), and
// its seeds, replayed with the same checks (support/RequestStreamCheck.h).
#include "support/RequestStreamCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace vaultora::webserver {
namespace {

TEST(WebServerFuzzRegression, EveryStoredStreamPassesTheChecks) {
    QStringList paths;
    for (const QString& directory : {QStringLiteral(VAULTORA_WEBSERVER_FUZZ_REGRESSIONS),
                                     QStringLiteral(VAULTORA_WEBSERVER_FUZZ_SEEDS)}) {
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files)) {
            paths.append(file.filePath());
        }
    }
    ASSERT_FALSE(paths.isEmpty());
    const QTemporaryDir documents;
    ASSERT_TRUE(documents.isValid());
    for (const QString& path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QStringList problems = testing::checkRequestStream(file.readAll(), documents.path());
        EXPECT_TRUE(problems.isEmpty())
            << path.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace
} // namespace vaultora::webserver
