#include "app/PasswordStore.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr char childMarker[] = "VAULTORA_TEST_NO_SECRET_SERVICE";
constexpr char password[] = "never-in-clear-text-7f3a";

// Runs only in the child process of the test below, whose session bus does not exist.
TEST(NoSecretServiceChild, DISABLED_StoringFailsAndReadingFindsNothing) {
    ASSERT_TRUE(qEnvironmentVariableIsSet(childMarker));
    vaultora::app::PasswordStore::setBackend(nullptr);
    const QString account = QStringLiteral("https://example.com/db.kdb");
    const QString service = QStringLiteral("Vaultora");
    std::optional<vaultora::base::ErrorValue> error;
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(
        account, vaultora::kdb::secureBytesFromText(password), service,
        vaultora::app::PasswordStore::UpdateExisting::Yes, &error));
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->code, 0);
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service));
}

TEST(PasswordStore, WithoutSecretServiceNothingIsStored) {
    QTemporaryDir sandbox;
    ASSERT_TRUE(sandbox.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childMarker), QStringLiteral("1"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + sandbox.filePath(QStringLiteral("no-bus")));
    environment.remove(QStringLiteral("DISPLAY"));
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        environment.insert(QString::fromLatin1(name), sandbox.path());
    }

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=NoSecretServiceChild.*"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    std::cout << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();

    QDirIterator files(sandbox.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains(password)) << file.fileName().toStdString();
    }
}

} // namespace
