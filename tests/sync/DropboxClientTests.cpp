// The REST client against the local stand-in of the service: signatures it accepts, answers,
// errors and file loads.
#include "DropboxRecordingDelegate.h"
#include "DropboxTestService.h"

#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxRequest.h"
#include "sync/dropbox/DropboxSession.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vaultora::sync;
using vaultora::test::http::DropboxTestService;

namespace {

class DropboxClientTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_service.isReady()) << "the test service did not start";
        m_session = std::make_unique<DropboxSession>(
            DropboxServiceConfiguration::applicationConsumerKey,
            DropboxServiceConfiguration::applicationConsumerSecret, m_service.configuration(),
            m_directory.filePath("defaults.ini"));
        m_client = std::make_unique<DropboxClient>(*m_session);
        m_client->setDelegate(&m_delegate);
    }

    // Waits for the next answer of the client.
    bool answered() {
        QSignalSpy spy(&m_delegate, &DropboxRecordingDelegate::answered);
        return spy.wait(30000);
    }

    bool link() {
        m_client->loginWithEmail(DropboxTestService::Email, DropboxTestService::Password);
        return answered() && m_delegate.calls.last() == "login";
    }

    [[nodiscard]] QString local(const QString& name) const { return m_directory.filePath(name); }

    DropboxTestService m_service;
    QTemporaryDir m_directory;
    std::unique_ptr<DropboxSession> m_session;
    std::unique_ptr<DropboxClient> m_client;
    DropboxRecordingDelegate m_delegate;
};

class CountingSessionDelegate final : public DropboxSessionDelegate {
public:
    void sessionDidReceiveAuthorizationFailure(DropboxSession&) override { ++failures; }
    int failures = 0;
};

} // namespace

TEST_F(DropboxClientTest, LoginOverTlsLinksSessionWithTheIssuedToken) {
    ASSERT_TRUE(link());
    EXPECT_TRUE(m_session->isLinked());
    EXPECT_EQ(
        m_session->credentialStore().credential(vaultora::net::OAuthCredentialStore::AccessToken),
        "token-0");
    EXPECT_EQ(m_delegate.offMainThread, 0);
    EXPECT_EQ(m_client->runningRequestCount(), 0);
    EXPECT_TRUE(m_service.requests().last().startsWith("GET https /0/token "));
}

TEST_F(DropboxClientTest, WrongPasswordReportsServiceErrorAndStaysUnlinked) {
    m_client->loginWithEmail(DropboxTestService::Email, "wrong");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls, QStringList{"loginFailed"});
    EXPECT_FALSE(m_session->isLinked());
    EXPECT_EQ(m_delegate.error->domain, DropboxRequest::ErrorDomain);
    EXPECT_EQ(m_delegate.error->code, 401);
    EXPECT_EQ(m_delegate.error->userInfo.value("error"), "Invalid email or password.");
}

TEST_F(DropboxClientTest, ListsFolderWithSpacesParsedOffTheMainThread) {
    const QDateTime modified(QDate(2024, 1, 2), QTime(10, 1), Qt::UTC);
    m_service.addFile("/My Databases/home 1.kdb", "one", modified);
    m_service.addFolder("/My Databases/Old");
    ASSERT_TRUE(link());

    m_client->loadMetadata("/My Databases");
    ASSERT_TRUE(answered());
    ASSERT_EQ(m_delegate.calls.last(), "metadata");
    EXPECT_EQ(m_delegate.offMainThread, 0);
    EXPECT_TRUE(
        m_service.requests().last().startsWith("GET http /0/metadata/dropbox/My%20Databases "));
    const DropboxMetadata& folder = *m_delegate.metadata;
    ASSERT_EQ(folder.contents().size(), 2);
    EXPECT_EQ(folder.contents()[0].path(), "/My Databases/Old");
    EXPECT_TRUE(folder.contents()[0].isDirectory());
    EXPECT_EQ(folder.contents()[1].filename(), "home 1.kdb");
    EXPECT_EQ(folder.contents()[1].lastModifiedDate(), modified);
}

TEST_F(DropboxClientTest, SignatureWithWrongSecretIsRefusedAndSessionDelegateHearsOf401) {
    ASSERT_TRUE(link());
    CountingSessionDelegate sessionDelegate;
    m_session->setDelegate(&sessionDelegate);
    m_session->updateAccessToken("token-0", "not the issued secret");
    m_client->loadMetadata("/");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls.last(), "metadataFailed");
    EXPECT_EQ(m_delegate.error->code, 401);
    EXPECT_EQ(m_delegate.error->userInfo.value("error"), "Invalid signature.");
    EXPECT_EQ(m_delegate.error->userInfo.value("path"), "/");
    EXPECT_EQ(m_delegate.error->userInfo.value("root"), "dropbox");
    EXPECT_EQ(sessionDelegate.failures, 1);
}

TEST_F(DropboxClientTest, UnlinkedMetadataRequestFails) {
    m_client->loadMetadata("/");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls, QStringList{"metadataFailed"});
    EXPECT_EQ(m_delegate.error->code, 401);
}

TEST_F(DropboxClientTest, NonJsonErrorBodyGoesUnderErrorMessage) {
    DropboxTestService plain({"/0/metadata/dropbox/x=503"});
    ASSERT_TRUE(plain.isReady());
    DropboxSession session("qk4tbw8ne2xzv0c", "m3hd9sa1pyl7jt6", plain.configuration(),
                           m_directory.filePath("other.ini"));
    DropboxClient client(session);
    client.setDelegate(&m_delegate);
    client.loadMetadata("/x");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.error->code, 503);
    EXPECT_EQ(m_delegate.error->userInfo.value("error"), "Injected failure.");
}

TEST_F(DropboxClientTest, FileLoadReplacesLocalFileWithProgress) {
    const QByteArray body(300000, 'k');
    m_service.addFile("/Databases/home.kdb", body, QDateTime::currentDateTimeUtc());
    ASSERT_TRUE(link());
    QFile old(local("home.kdb"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old copy");
    old.close();

    m_client->loadFile("/Databases/home.kdb", local("home.kdb"));
    ASSERT_TRUE(answered());
    ASSERT_EQ(m_delegate.calls.last(), "file");
    EXPECT_EQ(m_delegate.loadedPath, local("home.kdb"));
    EXPECT_EQ(m_delegate.contentType, "application/octet-stream");
    ASSERT_FALSE(m_delegate.progress.empty());
    EXPECT_DOUBLE_EQ(m_delegate.progress.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(m_delegate.progress.begin(), m_delegate.progress.end()));
    QFile loaded(local("home.kdb"));
    ASSERT_TRUE(loaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(loaded.readAll(), body);
    // Nothing but the file itself is left beside it.
    EXPECT_EQ(QDir(m_directory.path()).entryList({"*home*"}, QDir::Files | QDir::Hidden),
              QStringList{"home.kdb"});
}

TEST_F(DropboxClientTest, MissingFileLeavesLocalCopyUntouchedWithCode404) {
    ASSERT_TRUE(link());
    QFile old(local("home.kdb"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old copy");
    old.close();

    m_client->loadFile("/Databases/gone.kdb", local("home.kdb"));
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls.last(), "fileFailed");
    EXPECT_EQ(m_delegate.error->domain, DropboxRequest::ErrorDomain);
    EXPECT_EQ(m_delegate.error->code, 404);
    EXPECT_EQ(m_delegate.error->userInfo.value("destinationPath"), local("home.kdb"));
    EXPECT_EQ(m_delegate.error->userInfo.value("error"), "File not found");
    QFile kept(local("home.kdb"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old copy");
}

TEST_F(DropboxClientTest, UnwritableDestinationIsAFailureNotASuccess) {
    m_service.addFile("/a.kdb", "data", QDateTime::currentDateTimeUtc());
    ASSERT_TRUE(link());
    m_client->loadFile("/a.kdb", local("no such folder/a.kdb"));
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls.last(), "fileFailed");
    EXPECT_EQ(m_delegate.error->domain, DropboxRequest::FileErrorDomain);
}

TEST_F(DropboxClientTest, CancelledLoadNeverCallsBackNorTouchesTheFile) {
    m_service.addFile("/a.kdb", QByteArray(100000, 'a'), QDateTime::currentDateTimeUtc());
    m_service.addFile("/b.kdb", "b", QDateTime::currentDateTimeUtc());
    ASSERT_TRUE(link());
    m_client->loadFile("/a.kdb", local("a.kdb"));
    m_client->cancelFileLoad("/a.kdb");
    m_client->loadFile("/b.kdb", local("b.kdb"));
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls, QStringList({"login", "file"}));
    EXPECT_EQ(m_delegate.loadedPath, local("b.kdb"));
    EXPECT_FALSE(QFile::exists(local("a.kdb")));
}

TEST_F(DropboxClientTest, CreatesAccountByFormPostAndReportsTakenEmail) {
    m_client->createAccount("new@example.org", "pw", "Ann", "Smith");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls.last(), "created");
    EXPECT_TRUE(m_service.requests().last().startsWith("POST https /0/account "));
    EXPECT_TRUE(m_service.requests().last().contains("\"first_name\": \"Ann\""));

    m_client->createAccount("new@example.org", "pw", "Ann", "Smith");
    ASSERT_TRUE(answered());
    EXPECT_EQ(m_delegate.calls.last(), "createFailed");
    EXPECT_EQ(m_delegate.error->code, 400);
}

TEST(DropboxTls, UntrustedAuthorityIsAConnectionFailure) {
    DropboxTestService service;
    ASSERT_TRUE(service.isReady());
    DropboxServiceConfiguration configuration = service.configuration();
    configuration.certificateAuthorityFile.clear();
    QTemporaryDir directory;
    DropboxSession session("qk4tbw8ne2xzv0c", "m3hd9sa1pyl7jt6", configuration,
                           directory.filePath("d.ini"));
    DropboxClient client(session);
    DropboxRecordingDelegate delegate;
    client.setDelegate(&delegate);
    QSignalSpy spy(&delegate, &DropboxRecordingDelegate::answered);
    client.loginWithEmail(DropboxTestService::Email, DropboxTestService::Password);
    ASSERT_TRUE(spy.wait(30000));
    EXPECT_EQ(delegate.calls, QStringList{"loginFailed"});
    EXPECT_EQ(delegate.error->domain, DropboxRequest::ConnectionErrorDomain);
    EXPECT_FALSE(session.isLinked());
}

#include "moc_DropboxRecordingDelegate.cpp"
