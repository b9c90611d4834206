// Replays the inputs a fuzz target once failed on, and its seeds, through the target's check
// in an ordinary test; each folder's fuzz regression test calls it with its own check.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <functional>

namespace vaultora::test {

// The check answers the problems it found in one input; none means the input passed.
inline void replayFuzzInputs(const QStringList& directories,
                             const std::function<QStringList(const QByteArray&)>& check) {
    QStringList paths;
    for (const QString& directory : directories) {
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files)) {
            paths.append(file.filePath());
        }
    }
    ASSERT_FALSE(paths.isEmpty());
    for (const QString& path : paths) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QStringList problems = check(file.readAll());
        EXPECT_TRUE(problems.isEmpty())
            << path.toStdString() << ": " << problems.join(QLatin1Char('\n')).toStdString();
    }
}

} // namespace vaultora::test
