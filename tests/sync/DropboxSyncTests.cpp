// The synchroniser, the file picker and the login screens against the local stand-in of the
// service, with the toolkit's models standing in for the window.
#include "DropboxTestService.h"

#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxLoginFlow.h"
#include "sync/dropbox/DropboxRequest.h"
#include "sync/dropbox/DropboxSession.h"
#include "sync/dropbox/DropboxSyncRunner.h"
#include "ui/DropboxFilePicker.h"
#include "ui/DropboxLoginScreen.h"
#include "ui/DropboxLoginScreenPresenter.h"
#include "ui/DropboxPickerHost.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vaultora::sync;
using vaultora::ui::DropboxFilePicker;
using vaultora::ui::DropboxLoginScreen;
using vaultora::ui::DropboxPickerHost;
using vaultora::ui::DropboxScreenServices;
using namespace std::chrono_literals;
using vaultora::test::http::DropboxTestService;

namespace {

// The database panel of the open flow, as far as the sync calls it.
class RecordingFlow final : public QObject, public DropboxLoginFlow {
    Q_OBJECT
public:
    bool loginOrShowPasswordDialog() override {
        ++logins;
        emit continued();
        return true;
    }
    bool syncDatabaseFileAndOpen() override {
        ++restarts;
        emit continued();
        return true;
    }
    int logins = 0;
    int restarts = 0;
signals:
    void continued();
};

// The details screen the picker returns to.
class RecordingRoot final : public vaultora::toolkit::Panel, public DropboxPickerHost {
public:
    vaultora::toolkit::Panel* pickerRootPanel() override { return this; }
    void setDatabaseRecord(std::shared_ptr<vaultora::base::DatabaseRecord> value) override {
        record = std::move(value);
    }
    void createDialog() override { ++dialogs; }
    std::shared_ptr<vaultora::base::DatabaseRecord> record;
    int dialogs = 0;
};

const QDateTime TenOClock(QDate(2024, 3, 4), QTime(10, 0), Qt::UTC);

class DropboxSyncTest : public testing::Test {
protected:
    explicit DropboxSyncTest(const QStringList& failures = {}) : m_service(failures) {}

    void SetUp() override {
        ASSERT_TRUE(m_service.isReady()) << "the test service did not start";
        m_session = std::make_unique<DropboxSession>(
            DropboxServiceConfiguration::applicationConsumerKey,
            DropboxServiceConfiguration::applicationConsumerSecret, m_service.configuration(),
            m_documents.filePath("defaults.ini"));
        m_services.session = m_session.get();
        m_services.modalPresenter = &m_modal;
        m_services.alerts = &m_alerts;
        m_services.progressOverlay = &m_overlay;
        m_services.transientPanels = &m_panels;
        m_services.timers = m_timers;
        m_logins = std::make_unique<vaultora::ui::DropboxLoginScreenPresenter>(m_services);
        m_runner = std::make_unique<DropboxSyncRunner>(
            m_logins->syncServices(),
            [this](const QString& name) { return m_documents.filePath(name); });
        m_record->setSyncType(vaultora::base::DatabaseRecord::SyncTypeDropbox);
        m_record->setServerUrl("/Databases/home.kdb");
        m_record->setDatabaseName("home.kdb");
    }

    void linkAccount() {
        DropboxClient client(*m_session);
        client.loginWithEmail(DropboxTestService::Email, DropboxTestService::Password);
        QSignalSpy linked(&m_overlay, &vaultora::toolkit::ProgressOverlay::changed);
        // The login has no delegate here; the session flips once the answer is in.
        for (int attempt = 0; attempt < 100 && !m_session->isLinked(); ++attempt)
            QSignalSpy(&client, &QObject::destroyed).wait(50);
        ASSERT_TRUE(m_session->isLinked());
    }

    void writeLocal(const QByteArray& body, const QDateTime& modified) {
        QFile file(m_documents.filePath("home.kdb"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(body);
        file.flush();
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    [[nodiscard]] QByteArray readLocal() const {
        QFile file(m_documents.filePath("home.kdb"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Starts the open flow's sync and waits until the synchroniser has handled its last answer.
    void syncAndWait() {
        DropboxSync* sync = m_runner->syncWithDropbox(m_record, m_flow, &m_flow);
        QSignalSpy finished(sync, &DropboxSync::finished);
        ASSERT_TRUE(finished.wait(30000));
    }

    [[nodiscard]] QStringList panelTexts() const {
        QStringList texts;
        for (const vaultora::toolkit::TransientPanel* panel : m_panels.panels())
            if (!panel->isHidden())
                texts.append(panel->title() + " | " + panel->subtitle());
        return texts;
    }
    [[nodiscard]] bool downloaded() const {
        return m_service.requests().filter(" /0/files/").size() > 0;
    }

    DropboxTestService m_service;
    QTemporaryDir m_documents;
    std::unique_ptr<DropboxSession> m_session;
    std::shared_ptr<vaultora::toolkit::ManualTimerFactory> m_timers =
        std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    vaultora::toolkit::ModalPresenter m_modal;
    vaultora::toolkit::AlertPresenter m_alerts;
    vaultora::toolkit::ProgressOverlay m_overlay;
    vaultora::toolkit::TransientPanelHost m_panels{m_timers};
    DropboxScreenServices m_services;
    std::unique_ptr<vaultora::ui::DropboxLoginScreenPresenter> m_logins;
    std::unique_ptr<DropboxSyncRunner> m_runner;
    std::shared_ptr<vaultora::base::DatabaseRecord> m_record =
        std::make_shared<vaultora::base::DatabaseRecord>();
    RecordingFlow m_flow;
};

class DropboxSyncWithFailingFileLoad : public DropboxSyncTest {
protected:
    DropboxSyncWithFailingFileLoad()
        : DropboxSyncTest({"/0/files/dropbox/Databases/home.kdb=404"}) {}
};

} // namespace

TEST_F(DropboxSyncTest, OlderDropboxCopyIsNotDownloadedAndLoginGoesOn) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock.addSecs(-60));
    writeLocal("local copy", TenOClock);
    QSignalSpy overlay(&m_overlay, &vaultora::toolkit::ProgressOverlay::changed);
    syncAndWait();
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_FALSE(downloaded());
    EXPECT_EQ(readLocal(), "local copy");
    EXPECT_GE(overlay.count(), 2);
    EXPECT_FALSE(m_overlay.isVisible());
    EXPECT_EQ(m_overlay.title(), "DropBox syncing");
}

TEST_F(DropboxSyncTest, EqualTimesAreNotNewer) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock);
    writeLocal("local copy", TenOClock);
    syncAndWait();
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_FALSE(downloaded());
}

TEST_F(DropboxSyncTest, NewerDropboxCopyIsDownloadedThenLoginGoesOn) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock.addSecs(60));
    writeLocal("local copy", TenOClock);
    syncAndWait();
    EXPECT_EQ(readLocal(), "dropbox copy");
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_TRUE(panelTexts().contains("Downloaded a new version from DropBox | "));
    // The progress panel ends full and hides half a second later.
    const QList<vaultora::toolkit::TransientPanel*> shown = m_panels.panels();
    const auto progress = std::find_if(shown.begin(), shown.end(), [](auto* panel) {
        return panel->title() == "Syncing with DropBox";
    });
    ASSERT_NE(progress, shown.end());
    EXPECT_DOUBLE_EQ((*progress)->progress(), 1.0);
    m_timers->advance(500ms);
    EXPECT_FALSE(panelTexts().contains("Syncing with DropBox | "));
    // The downloaded file carries the time of the download, so the next opening keeps it.
    EXPECT_GT(QFileInfo(m_documents.filePath("home.kdb")).lastModified(), TenOClock.addSecs(60));
}

TEST_F(DropboxSyncTest, MissingLocalFileIsNotDownloadedAndLoginGoesOn) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock);
    syncAndWait();
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_FALSE(downloaded());
    EXPECT_FALSE(QFile::exists(m_documents.filePath("home.kdb")));
}

TEST_F(DropboxSyncTest, MetadataFailureShowsPanelAndLogsInWithLocalFile) {
    linkAccount();
    writeLocal("local copy", TenOClock);
    syncAndWait();
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_EQ(panelTexts(), QStringList{"DropBox download error | Failed loading meta data"});
    EXPECT_EQ(readLocal(), "local copy");
    m_timers->advance(2500ms);
    EXPECT_TRUE(panelTexts().isEmpty());
}

TEST_F(DropboxSyncWithFailingFileLoad, FailedDownloadKeepsLocalFileAndStopsTheLogin) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock.addSecs(60));
    writeLocal("local copy", TenOClock);
    syncAndWait();
    EXPECT_EQ(m_flow.logins, 0);
    EXPECT_EQ(readLocal(), "local copy");
    const QStringList texts = panelTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith("DropBox download error | "));
    EXPECT_TRUE(texts[0].contains("error = Injected failure.")) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].contains("path = /Databases/home.kdb"));
}

TEST_F(DropboxSyncTest, UnlinkedSyncPresentsLoginAndCancelEndsIt) {
    writeLocal("local copy", TenOClock);
    DropboxSync* sync = m_runner->syncWithDropbox(m_record, m_flow, &m_flow);
    ASSERT_TRUE(m_modal.isPresenting());
    ASSERT_EQ(m_modal.rowCount(), 1) << "one login screen, not one per call";
    auto* login = qobject_cast<DropboxLoginScreen*>(sync->loginController());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->title(), "Link Account");

    // The metadata request goes out without a token; its failure continues with the local file.
    QSignalSpy continued(&m_flow, &RecordingFlow::continued);
    ASSERT_TRUE(continued.wait(30000));
    EXPECT_EQ(m_flow.logins, 1);
    EXPECT_TRUE(m_service.requests().last().contains("/0/metadata/dropbox/Databases/home.kdb"));
    EXPECT_FALSE(m_service.requests().last().contains("oauth_token"));

    QSignalSpy finished(sync, &DropboxSync::finished);
    login->cancel();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(m_modal.isPresenting());
    EXPECT_TRUE(panelTexts().contains("DropBox login canceled by user | "));
    QSignalSpy released(sync, &QObject::destroyed);
    EXPECT_TRUE(released.wait(5000));
    EXPECT_EQ(m_runner->runningCount(), 0);
}

TEST_F(DropboxSyncTest, LoginThroughScreenRestartsOpenFlowAfterOneSecond) {
    DropboxSync* sync = m_runner->syncWithDropbox(m_record, m_flow, &m_flow);
    auto* login = qobject_cast<DropboxLoginScreen*>(sync->loginController());
    ASSERT_NE(login, nullptr);
    login->emailRow()->enterText(DropboxTestService::Email);
    login->passwordRow()->enterText(DropboxTestService::Password);
    QSignalSpy dismissed(&m_modal, &vaultora::toolkit::ModalPresenter::presentingChanged);
    login->link();
    EXPECT_TRUE(m_overlay.isVisible());
    EXPECT_EQ(m_overlay.title(), "Linking");
    ASSERT_TRUE(dismissed.wait(30000));
    EXPECT_TRUE(m_session->isLinked());
    EXPECT_EQ(m_flow.restarts, 0);
    m_timers->advance(999ms);
    EXPECT_EQ(m_flow.restarts, 0);
    m_timers->advance(1ms);
    EXPECT_EQ(m_flow.restarts, 1);
}

TEST_F(DropboxSyncTest, SavingDownloadsAtOnceWhateverTheDates) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "dropbox copy", TenOClock.addSecs(-3600));
    writeLocal("local copy", TenOClock);
    DropboxSync* sync = m_runner->download(m_record);
    QSignalSpy finished(sync, &DropboxSync::finished);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(readLocal(), "dropbox copy");
    EXPECT_EQ(m_flow.logins, 0);
    EXPECT_FALSE(panelTexts().contains("Downloaded a new version from DropBox | "));
}

TEST_F(DropboxSyncTest, LoginScreenAlertsOnMissingFieldsAndRefusedPassword) {
    DropboxLoginScreen* login = DropboxLoginScreen::presentFromController(m_services, nullptr);
    QAbstractItemModelTester alertsTester(&m_alerts);
    login->link();
    ASSERT_EQ(m_alerts.alerts().size(), 1);
    EXPECT_EQ(m_alerts.alerts().last()->title(), "Email Required");
    EXPECT_EQ(m_alerts.alerts().last()->message(), "Please enter your email.");
    login->emailRow()->enterText(DropboxTestService::Email);
    login->link();
    EXPECT_EQ(m_alerts.alerts().last()->title(), "Password Required");
    EXPECT_EQ(m_alerts.alerts().last()->message(), "Please enter you password.");

    login->passwordRow()->enterText("wrong");
    QSignalSpy alerted(&m_alerts, &QAbstractItemModel::rowsInserted);
    login->link();
    ASSERT_TRUE(alerted.wait(30000));
    EXPECT_EQ(m_alerts.alerts().last()->title(), "Unable to Login");
    EXPECT_EQ(m_alerts.alerts().last()->message(), "Invalid email or password.");
    EXPECT_FALSE(m_overlay.isVisible());
    EXPECT_TRUE(m_modal.isPresenting());

    const vaultora::net::NetworkError offline{DropboxRequest::ConnectionErrorDomain, 7, {}};
    EXPECT_EQ(DropboxLoginScreen::messageForError(offline, "x"),
              "There was an error connecting to Dropbox.");
    const vaultora::net::NetworkError mapped{
        DropboxRequest::ErrorDomain,
        400,
        {{"error", QVariantMap{{"email", "That email is already taken."}}}}};
    EXPECT_EQ(DropboxLoginScreen::messageForError(mapped, "x"), "That email is already taken.");
    EXPECT_EQ(DropboxLoginScreen::messageForError({DropboxRequest::ErrorDomain, 500, {}},
                                                  "An unknown error has occurred."),
              "An unknown error has occurred.");
}

TEST_F(DropboxSyncTest, PickerListsEveryEntryAndChoosingAFileFillsTheRecord) {
    linkAccount();
    m_service.addFile("/Databases/home.kdb", "x", TenOClock);
    m_service.addFile("/Databases/work.kdbx", "x", TenOClock);
    m_service.addFile("/notes.txt", "x", TenOClock);
    auto rootPanel = std::make_unique<RecordingRoot>();
    RecordingRoot* root = rootPanel.get();
    vaultora::toolkit::NavigationContainer container(std::move(rootPanel));
    auto record = std::make_shared<vaultora::base::DatabaseRecord>();

    auto top = std::make_unique<DropboxFilePicker>("/", *root, record, m_services);
    DropboxFilePicker* picker = top.get();
    EXPECT_TRUE(picker->bIsActive());
    container.pushPanel(std::move(top), vaultora::toolkit::Animated::No);
    QSignalSpy listed(picker, &vaultora::toolkit::FormPanel::formChanged);
    ASSERT_TRUE(listed.wait(30000));
    EXPECT_EQ(picker->title(), "DropBox setting");
    QAbstractItemModelTester formTester(picker->form());
    const QList<vaultora::toolkit::FormRow*> rows = picker->form()->sections().first()->rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->label(), "Databases");
    EXPECT_EQ(rows[0]->kind(), vaultora::toolkit::FormRow::Kind::Navigation);
    EXPECT_EQ(rows[1]->label(), "notes.txt");
    EXPECT_EQ(picker->arrayItems()[0].toMap().value("fullFileName"), "/Databases");

    rows[0]->select();
    auto* folder = qobject_cast<DropboxFilePicker*>(container.topPanel());
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->currentDropboxDirectory(), "/Databases");
    QSignalSpy folderListed(folder, &vaultora::toolkit::FormPanel::formChanged);
    ASSERT_TRUE(folderListed.wait(30000));
    const QList<vaultora::toolkit::FormRow*> files = folder->form()->sections().first()->rows();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[1]->label(), "work.kdbx");

    files[0]->select();
    EXPECT_EQ(record->serverUrl(), "/Databases/home.kdb");
    EXPECT_EQ(record->databaseName(), "home.kdb");
    EXPECT_EQ(record->serverDisplayName(), "home");
    EXPECT_EQ(root->record, record);
    EXPECT_EQ(root->dialogs, 1);
    EXPECT_EQ(container.topPanel(), root);

    EXPECT_EQ(DropboxFilePicker::subdirectoryPath("/", "A"), "/A");
    EXPECT_EQ(DropboxFilePicker::subdirectoryPath("/A", "B C"), "/A/B C");
}

TEST_F(DropboxSyncTest, PickerShowsListingFailureAndStays) {
    linkAccount();
    auto rootPanel = std::make_unique<RecordingRoot>();
    RecordingRoot* root = rootPanel.get();
    vaultora::toolkit::NavigationContainer container(std::move(rootPanel));
    auto top = std::make_unique<DropboxFilePicker>(
        "/Gone", *root, std::make_shared<vaultora::base::DatabaseRecord>(), m_services);
    DropboxFilePicker* picker = top.get();
    container.pushPanel(std::move(top), vaultora::toolkit::Animated::No);
    QSignalSpy shown(&m_panels, &QAbstractItemModel::rowsInserted);
    ASSERT_TRUE(shown.wait(30000));
    ASSERT_EQ(panelTexts().size(), 1);
    EXPECT_TRUE(panelTexts()[0].startsWith("Error on DropBox access | Error, ,"));
    EXPECT_TRUE(panelTexts()[0].contains("Path '/Gone' not found"));
    EXPECT_EQ(container.topPanel(), picker);
}

TEST_F(DropboxSyncTest, PickerLoginCancelReturnsToDetails) {
    auto rootPanel = std::make_unique<RecordingRoot>();
    RecordingRoot* root = rootPanel.get();
    vaultora::toolkit::NavigationContainer container(std::move(rootPanel));
    auto top = std::make_unique<DropboxFilePicker>(
        "/", *root, std::make_shared<vaultora::base::DatabaseRecord>(), m_services);
    DropboxFilePicker* picker = top.get();
    EXPECT_FALSE(picker->bIsActive());
    container.pushPanel(std::move(top), vaultora::toolkit::Animated::No);
    ASSERT_NE(picker->loginController(), nullptr);
    picker->loginController()->cancel();
    EXPECT_EQ(container.topPanel(), root);
    EXPECT_EQ(panelTexts(), QStringList{"DropBox login canceled by user. | "});
}

#include "DropboxSyncTests.moc"
