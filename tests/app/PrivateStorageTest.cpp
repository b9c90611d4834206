#include "app/PrivateStorage.h"
#include "ApplicationControllerFixture.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

using vaultora::app::PrivateStorage;

mode_t modeOf(const QString& path) {
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) != 0) {
        return 0;
    }
    return status.st_mode & 07777;
}

// Runs the test under the common umask 022 and gives the process's own back afterwards.
class WideUmask {
public:
    WideUmask() : m_previous(umask(022)) {}
    ~WideUmask() { umask(m_previous); }
    WideUmask(const WideUmask&) = delete;
    WideUmask& operator=(const WideUmask&) = delete;

private:
    mode_t m_previous;
};

void writeWithMode(const QString& path, const QByteArray& bytes, mode_t mode) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
}

TEST_F(ApplicationControllerTest, LaunchMakesTheDocumentsAndTheirFilesTheUsersAlone) {
    const WideUmask wide;
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("shared.txt"));
    writeWithMode(target, "not ours", 0644);
    ASSERT_EQ(chmod(QFile::encodeName(documents()).constData(), 0755), 0);
    writeWithMode(documentPath(QStringLiteral("Vaultora.plist")), registryXml(""), 0644);
    writeWithMode(documentPath(QStringLiteral("home.kdbx")), "database", 0644);
    ASSERT_TRUE(QFile::link(target, documentPath(QStringLiteral("link.kdb"))));

    launch();

    EXPECT_EQ(modeOf(documents()), 0700u);
    EXPECT_EQ(modeOf(documentPath(QStringLiteral("Vaultora.plist"))), 0600u);
    EXPECT_EQ(modeOf(documentPath(QStringLiteral("home.kdbx"))), 0600u);
    EXPECT_EQ(modeOf(target), 0644u);
}

TEST(PrivateStorage, FilesAndFoldersCreatedAfterwardsAreTheUsersAlone) {
    const WideUmask wide;
    QTemporaryDir directory;
    PrivateStorage::restrictNewFiles();

    const QString folder = directory.filePath(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QSaveFile file(folder + QStringLiteral("/Vaultora.plist"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("registry");
    ASSERT_TRUE(file.commit());

    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder + QStringLiteral("/Vaultora.plist")), 0600u);
}

TEST(PrivateStorage, TakesOverTheEarlierSettingsOnlyWhenThereAreNoCurrentOnes) {
    const WideUmask wide;
    QTemporaryDir directory;
    const QString earlier =
        directory.filePath(QStringLiteral("Unknown Organization/Vaultora.conf"));
    const QString current = directory.filePath(QStringLiteral("Vaultora/Vaultora.conf"));
    ASSERT_TRUE(QDir().mkpath(directory.filePath(QStringLiteral("Unknown Organization"))));
    writeWithMode(earlier, "[dropbox]\ntoken=earlier\n", 0644);

    EXPECT_TRUE(PrivateStorage::adoptSettingsFile(earlier, current));
    EXPECT_FALSE(QFile::exists(earlier));
    EXPECT_EQ(modeOf(current), 0600u);

    writeWithMode(earlier, "[dropbox]\ntoken=stale\n", 0644);
    EXPECT_TRUE(PrivateStorage::adoptSettingsFile(earlier, current));
    QFile kept(current);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().contains("earlier"));
}

} // namespace
