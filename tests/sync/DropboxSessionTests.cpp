// The account link and its saved copy in the user defaults.
#include "sync/dropbox/DropboxMetadata.h"
#include "sync/dropbox/DropboxSession.h"

#include <QJsonDocument>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vaultora::sync;
using Store = vaultora::net::OAuthCredentialStore;

namespace {

class DropboxSessionTest : public testing::Test {
protected:
    [[nodiscard]] QString settingsFile() const { return m_directory.filePath("defaults.ini"); }
    std::unique_ptr<DropboxSession> start() const {
        return std::make_unique<DropboxSession>(
            DropboxServiceConfiguration::applicationConsumerKey,
            DropboxServiceConfiguration::applicationConsumerSecret, DropboxServiceConfiguration{},
            settingsFile());
    }
    QTemporaryDir m_directory;
};

} // namespace

TEST_F(DropboxSessionTest, LinkSurvivesRestartAndUnlinkForgetsToken) {
    EXPECT_FALSE(start()->isLinked());
    start()->updateAccessToken("token-1", "secret-1");

    const auto restarted = start();
    ASSERT_TRUE(restarted->isLinked());
    EXPECT_EQ(restarted->credentialStore().credential(Store::AccessToken), "token-1");
    EXPECT_EQ(restarted->credentialStore().credential(Store::AccessTokenSecret), "secret-1");
    EXPECT_EQ(restarted->credentialStore().credential(Store::SignatureMethod), "HMAC-SHA1");

    const QVariantMap saved = QSettings(settingsFile(), QSettings::IniFormat)
                                  .value(DropboxSession::SavedCredentialsKey)
                                  .toMap();
    EXPECT_EQ(saved.value(Store::ConsumerKey).toString(), "qk4tbw8ne2xzv0c");
    EXPECT_EQ(saved.value(Store::AccessToken).toString(), "token-1");

    restarted->unlink();
    EXPECT_FALSE(restarted->isLinked());
    EXPECT_FALSE(restarted->credentialStore().hasCredential(Store::AccessTokenSecret));
    EXPECT_FALSE(start()->isLinked());
}

TEST_F(DropboxSessionTest, SavedCredentialsOfAnotherConsumerAreDropped) {
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(DropboxSession::SavedCredentialsKey,
                          QVariantMap{{Store::ConsumerKey, "another-consumer"},
                                      {Store::AccessToken, "foreign"},
                                      {Store::AccessTokenSecret, "foreign-secret"}});
    }
    EXPECT_FALSE(start()->isLinked());
    EXPECT_FALSE(QSettings(settingsFile(), QSettings::IniFormat)
                     .contains(DropboxSession::SavedCredentialsKey));
}

TEST(DropboxMetadata, ParsesFolderAndDatesWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QJsonDocument json = QJsonDocument::fromJson(R"({
        "path": "/Databases", "is_dir": true, "hash": "abc", "root": "dropbox", "icon": "folder",
        "modified": "Tue, 02 Jan 2024 09:59:00 +0000", "bytes": 0, "revision": 7,
        "contents": [
          {"path": "/Databases/home.kdb", "is_dir": false, "bytes": 5000000000,
           "modified": "Wed, 03 Jan 2024 10:01:30 +0100", "size": "4.7 GB", "thumb_exists": false,
           "is_deleted": true},
          "not an object"
        ]})");
    const DropboxMetadata folder(json.object());
    QLocale::setDefault(previous);

    EXPECT_TRUE(folder.isDirectory());
    EXPECT_EQ(folder.revision(), 7);
    EXPECT_EQ(folder.lastModifiedDate(), QDateTime(QDate(2024, 1, 2), QTime(9, 59), Qt::UTC));
    ASSERT_EQ(folder.contents().size(), 1);
    const DropboxMetadata& file = folder.contents().first();
    EXPECT_EQ(file.filename(), "home.kdb");
    EXPECT_EQ(file.totalBytes(), 5000000000);
    EXPECT_TRUE(file.isDeleted());
    EXPECT_EQ(file.lastModifiedDate(), QDateTime(QDate(2024, 1, 3), QTime(9, 1, 30), Qt::UTC));
    EXPECT_FALSE(DropboxMetadata::parseDate("02/01/2024 09:59").isValid());

    const QVariantMap archive = folder.archive();
    EXPECT_EQ(archive.value("humanReadableSize"), folder.humanReadableSize());
    EXPECT_TRUE(archive.contains("thumbnailExists"));
    EXPECT_EQ(DropboxMetadata::fromArchive(archive), folder);
}
