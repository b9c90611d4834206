#include "webserver/UploadFile.h"
#include "webserver/DocumentNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using vaultora::webserver::UploadFile;

QStringList namesIn(const QString& directory) {
    return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

TEST(UploadFile, EitherWayTheFileAppearsOnlyUnderItsNameAndOnlyWhenCommitted) {
    for (const UploadFile::Creation creation :
         {UploadFile::Creation::UnnamedWherePossible, UploadFile::Creation::Named}) {
        SCOPED_TRACE(static_cast<int>(creation));
        QTemporaryDir directory;
        {
            UploadFile file(directory.path(), creation);
            ASSERT_TRUE(file.isOpen()) << file.errorString().toStdString();
            ASSERT_TRUE(file.write("database bytes"));
            for (const QString& name : namesIn(directory.path()))
                EXPECT_TRUE(name.startsWith(vaultora::webserver::uploadTemporaryPrefix()));
            ASSERT_TRUE(file.commit(QStringLiteral("home.kdbx")));
        }
        EXPECT_EQ(namesIn(directory.path()), QStringList{QStringLiteral("home.kdbx")});
        EXPECT_EQ(contentOf(directory.filePath(QStringLiteral("home.kdbx"))), "database bytes");

        {
            UploadFile unfinished(directory.path(), creation);
            ASSERT_TRUE(unfinished.write("half"));
        }
        EXPECT_EQ(namesIn(directory.path()), QStringList{QStringLiteral("home.kdbx")})
            << "an upload that never completed leaves nothing behind";
    }
}

} // namespace
