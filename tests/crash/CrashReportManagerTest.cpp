#include "CollectionService.h"
#include "QtPrinters.h"

#include "crash/CrashReportManager.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <optional>

namespace {

// Keeps what was asked and lets the test give the answer.
class RecordingQuestion final : public QObject, public vaultora::crash::CrashReportQuestion {
    Q_OBJECT

public:
    void ask(const Texts& texts, std::function<void(int)> answer) override {
        m_texts.append(texts);
        m_answer = std::move(answer);
        emit asked();
    }
    void answer(int buttonIndex) { m_answer(buttonIndex); }
    [[nodiscard]] const QList<Texts>& texts() const { return m_texts; }

signals:
    void asked();

private:
    QList<Texts> m_texts;
    std::function<void(int)> m_answer;
};

QByteArray reportText(const QByteArray& identifier, const QByteArray& process) {
    return "VaultoraCrashReport 1\nIdentifier: " + identifier +
           "\nVersion: 3.1\nOS Version: Linux 6.1.0 (Debian GNU/Linux 12)\nProcess: " + process +
           "\nPID: 4242\nSignal: 11\nCode: 1\nFault Address: 0x0\nTime: 1700000000\n"
           "PC: 0x1234\nFrame: 0x1234\nFrame: 0x5678\nEnd\n";
}

// The elements of the "xmlstring" part, one map of element texts per crash.
QList<QMap<QString, QString>> crashesIn(const QByteArray& document, QString& error) {
    QList<QMap<QString, QString>> crashes;
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == QLatin1String("crash")) {
            crashes.append(QMap<QString, QString>());
        } else if (reader.name() != QLatin1String("crashes") && !crashes.isEmpty()) {
            const QString name = reader.name().toString();
            crashes.last().insert(name, reader.readElementText());
        }
    }
    if (reader.hasError()) {
        error = reader.errorString();
    }
    return crashes;
}

class CrashReportManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_directory.isValid());
        ASSERT_TRUE(m_service.listen());
        ASSERT_TRUE(QDir().mkpath(crashes()));
    }

    QString caches() const { return m_directory.filePath(QStringLiteral("caches")); }
    QString crashes() const { return caches() + QStringLiteral("/crashes"); }
    QString pendingReport() const { return caches() + QStringLiteral("/pending-report"); }

    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void writeCrashFile(const QString& name, const QByteArray& bytes) {
        const QString path = crashes() + QLatin1Char('/') + name;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        writeFile(path, bytes);
    }
    QStringList crashFilesOnDisk() const {
        return QDir(crashes()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    std::unique_ptr<QSettings> settings() const {
        return std::make_unique<QSettings>(m_directory.filePath(QStringLiteral("defaults.ini")),
                                           QSettings::IniFormat);
    }

    // One launch of the application: creates the manager, which runs the launch steps.
    std::unique_ptr<vaultora::crash::CrashReportManager>
    launch(std::chrono::milliseconds startDelay = std::chrono::milliseconds(0)) {
        auto question = std::make_unique<RecordingQuestion>();
        m_question = question.get();
        vaultora::crash::CrashReportEnvironment environment;
        environment.cachesDirectory = caches();
        environment.applicationName = QStringLiteral("vaultora");
        environment.displayName = QStringLiteral("Vaultora");
        environment.senderVersion = QStringLiteral("3.1.7");
        environment.platform = QStringLiteral("x86_64");
        environment.clock = [] {
            return QDateTime(QDate(2001, 1, 2), QTime(0, 0, 0, 600), QTimeZone::utc());
        };
        environment.startDelay = startDelay;
        auto collector = std::make_unique<vaultora::crash::CrashCollector>(
            pendingReport(), vaultora::crash::CrashCollector::Identity{
                                 QStringLiteral("com.example.tests"), QStringLiteral("3.1"),
                                 QStringLiteral("vaultora")});
        return std::make_unique<vaultora::crash::CrashReportManager>(
            std::move(collector), settings(), std::move(question), std::move(environment));
    }

    QVariantMap approvals() const {
        return settings()->value(QStringLiteral("ApprovedCrashReports")).toMap();
    }

    QTemporaryDir m_directory;
    CollectionService m_service;
    RecordingQuestion* m_question = nullptr;
};

TEST_F(CrashReportManagerTest, LaunchSavesThePendingReportUnderRoundedSecondsSince2001) {
    writeFile(pendingReport(), reportText("com.example.tests", "vaultora"));
    const auto manager = launch();

    EXPECT_TRUE(manager->crashedInLastSession());
    EXPECT_TRUE(manager->collector().isEnabled());
    // 2001-01-02 00:00:00.600 is 86400.6 seconds after the reference date.
    EXPECT_EQ(crashFilesOnDisk(), QStringList{QStringLiteral("86401")});
    EXPECT_FALSE(QFile::exists(pendingReport()));
    EXPECT_TRUE(settings()->value(QStringLiteral("QuincyKitActivated")).toBool());
    EXPECT_TRUE(QFile(crashes()).permissions().testFlag(QFileDevice::ReadOther));
}

TEST_F(CrashReportManagerTest, WithoutASubmissionAddressNothingIsAskedAndReportsStay) {
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    const auto manager = launch();
    manager->setSubmissionAddress(QString());
    // The start delay is zero here, so a scheduled start would have run by now.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    EXPECT_TRUE(m_question->texts().isEmpty());
    EXPECT_FALSE(manager->isSendingInProgress());
    EXPECT_TRUE(m_service.requests().isEmpty());
    EXPECT_EQ(crashFilesOnDisk(), QStringList{QStringLiteral("100")});
}

TEST_F(CrashReportManagerTest, PendingReportThatCannotBeLoadedOrSavedIsHandledSafely) {
    // An empty pending report cannot be loaded: it is purged and nothing is saved.
    writeFile(pendingReport(), QByteArray());
    launch().reset();
    EXPECT_TRUE(crashFilesOnDisk().isEmpty());
    EXPECT_FALSE(QFile::exists(pendingReport()));

    // A report that cannot be saved is kept for the next launch instead of being purged.
    ASSERT_TRUE(QDir(crashes()).removeRecursively());
    writeFile(crashes(), "a file where the folder belongs");
    writeFile(pendingReport(), reportText("com.example.tests", "vaultora"));
    launch().reset();
    EXPECT_TRUE(QFile::exists(pendingReport()));
    EXPECT_EQ(settings()->value(QStringLiteral("QuincyKitAnalyzerStarted")).toInt(), 0);
}

TEST_F(CrashReportManagerTest, DecliningDeletesEveryCrashFileAndSendsNothing) {
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    writeCrashFile(QStringLiteral("200"), reportText("com.example.tests", "vaultora"));
    const auto manager = launch();
    manager->setSubmissionAddress(m_service.url().toString());
    QSignalSpy asked(m_question, &RecordingQuestion::asked);
    ASSERT_TRUE(asked.wait(10000));

    ASSERT_EQ(m_question->texts().size(), 1);
    const auto& texts = m_question->texts().first();
    EXPECT_TRUE(texts.title.contains(QStringLiteral("Vaultora")));
    EXPECT_TRUE(texts.message.contains(QStringLiteral("Vaultora")));
    EXPECT_FALSE(texts.declineButton.isEmpty());
    EXPECT_NE(texts.declineButton, texts.agreeButton);
    EXPECT_TRUE(manager->isSendingInProgress());

    m_question->answer(vaultora::crash::CrashReportQuestion::declineButtonIndex);

    EXPECT_FALSE(manager->isSendingInProgress());
    EXPECT_TRUE(crashFilesOnDisk().isEmpty());
    EXPECT_FALSE(settings()->contains(QStringLiteral("ApprovedCrashReports")));
    EXPECT_FALSE(manager->hasPendingCrashReport());
    // Asking again finds nothing to ask about.
    manager->startManager();
    EXPECT_EQ(m_question->texts().size(), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_service.requests().isEmpty());
}

TEST_F(CrashReportManagerTest, AgreeingPostsOneMultipartDocumentWithOneCrashPerReport) {
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    writeCrashFile(QStringLiteral("200"), reportText("com.example.<odd>&tests", "cut]]>here"));
    writeCrashFile(QStringLiteral("300"), "not a crash report");
    writeCrashFile(QStringLiteral("400"), QByteArray());
    m_service.setAnswer(200, "<?xml version=\"1.0\"?><results><result>3</result>"
                             "<result>7</result><result>5</result></results>");
    const auto manager = launch();
    manager->setSubmissionAddress(m_service.url().toString());
    manager->startManager();
    EXPECT_EQ(manager->crashFiles(),
              (QStringList{QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("300")}));
    ASSERT_EQ(m_question->texts().size(), 1);

    QSignalSpy ended(manager.get(), &vaultora::crash::CrashReportManager::uploadEnded);
    m_question->answer(vaultora::crash::CrashReportQuestion::agreeButtonIndex);
    ASSERT_TRUE(ended.wait(20000));

    ASSERT_EQ(m_service.requests().size(), 1);
    const CollectionService::Request& request = m_service.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/crash/submit");
    EXPECT_EQ(request.headers.value("user-agent"), "Quincy/iOS");
    EXPECT_EQ(request.headers.value("accept-encoding"), "gzip");
    EXPECT_EQ(request.headers.value("content-type"), "multipart/form-data; boundary=----FOO");
    const QByteArray head =
        "------FOO\r\nContent-Disposition: form-data; name=\"xmlstring\"\r\n\r\n";
    const QByteArray tail = "\r\n------FOO--\r\n";
    ASSERT_TRUE(request.body.startsWith(head)) << request.body.left(200).constData();
    ASSERT_TRUE(request.body.endsWith(tail));
    const QByteArray document =
        request.body.mid(head.size(), request.body.size() - head.size() - tail.size());
    EXPECT_TRUE(document.startsWith("<crashes><crash><applicationname>vaultora<"));
    EXPECT_TRUE(document.contains("cut]]]]><![CDATA[>here"));

    QString error;
    const auto crashes = crashesIn(document, error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(crashes.size(), 2);
    EXPECT_EQ(crashes[0].value(QStringLiteral("bundleidentifier")), "com.example.tests");
    EXPECT_EQ(crashes[0].value(QStringLiteral("systemversion")),
              "Linux 6.1.0 (Debian GNU/Linux 12)");
    EXPECT_EQ(crashes[0].value(QStringLiteral("platform")), "x86_64");
    EXPECT_EQ(crashes[0].value(QStringLiteral("senderversion")), "3.1.7");
    EXPECT_EQ(crashes[0].value(QStringLiteral("version")), "3.1");
    EXPECT_TRUE(crashes[0].value(QStringLiteral("log")).contains(QStringLiteral("SIGSEGV")));
    EXPECT_EQ(crashes[0].value(QStringLiteral("userid")), QString());
    EXPECT_EQ(crashes[1].value(QStringLiteral("bundleidentifier")), "com.example.<odd>&tests");
    // Put back together by the XML reader, the log is the text as rendered.
    EXPECT_TRUE(crashes[1].value(QStringLiteral("log")).contains(QStringLiteral("cut]]>here")));

    EXPECT_EQ(manager->serverResult(), 7);
    EXPECT_EQ(manager->statusCode(), 200);
    EXPECT_FALSE(manager->isSendingInProgress());
    // The unparsable report goes with the others once an upload succeeded; the empty file
    // was never listed.
    EXPECT_EQ(crashFilesOnDisk(), QStringList{QStringLiteral("400")});
    EXPECT_FALSE(settings()->contains(QStringLiteral("ApprovedCrashReports")));
}

TEST_F(CrashReportManagerTest, FailedUploadKeepsReportsAndNextLaunchSendsWithoutAsking) {
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    writeCrashFile(QStringLiteral("200"), reportText("com.example.tests", "vaultora"));
    QUrl closedPort;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        closedPort = QUrl(QStringLiteral("http://127.0.0.1:%1/submit").arg(closed.serverPort()));
    }
    {
        const auto manager = launch();
        manager->setSubmissionAddress(closedPort.toString());
        manager->startManager();
        QSignalSpy ended(manager.get(), &vaultora::crash::CrashReportManager::uploadEnded);
        m_question->answer(vaultora::crash::CrashReportQuestion::agreeButtonIndex);
        ASSERT_TRUE(ended.wait(20000));
        EXPECT_FALSE(manager->isSendingInProgress());
    }
    EXPECT_EQ(crashFilesOnDisk(), (QStringList{QStringLiteral("100"), QStringLiteral("200")}));
    EXPECT_EQ(approvals().keys(), (QStringList{QStringLiteral("100"), QStringLiteral("200")}));

    // A refusing service (status 500) keeps them as well.
    m_service.setAnswer(500, "busy");
    {
        const auto manager = launch();
        QSignalSpy ended(manager.get(), &vaultora::crash::CrashReportManager::uploadEnded);
        manager->setSubmissionAddress(m_service.url().toString());
        ASSERT_TRUE(ended.wait(20000));
        EXPECT_EQ(manager->statusCode(), 500);
    }
    EXPECT_EQ(m_service.requests().size(), 1);
    EXPECT_EQ(crashFilesOnDisk().size(), 2);
    EXPECT_EQ(approvals().size(), 2);

    m_service.setAnswer(200, "<result>1</result>");
    const auto manager = launch(std::chrono::milliseconds(1000));
    QSignalSpy ended(manager.get(), &vaultora::crash::CrashReportManager::uploadEnded);
    manager->setSubmissionAddress(m_service.url().toString());
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_TRUE(m_question->texts().isEmpty());
    ASSERT_EQ(m_service.requests().size(), 2);
    QString error;
    const QByteArray body = m_service.requests().last().body;
    EXPECT_EQ(crashesIn(body.mid(body.indexOf("<crashes>"),
                                 body.indexOf("</crashes>") + 10 - body.indexOf("<crashes>")),
                        error)
                  .size(),
              2);
    EXPECT_TRUE(crashFilesOnDisk().isEmpty());
    EXPECT_EQ(manager->serverResult(), 1);
}

TEST_F(CrashReportManagerTest, NewReportBesideApprovedOnesIsAskedAbout) {
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    writeCrashFile(QStringLiteral("sub/200"), reportText("com.example.tests", "vaultora"));
    settings()->setValue(QStringLiteral("ApprovedCrashReports"),
                         QVariantMap{{QStringLiteral("100"), true}});
    const auto manager = launch();
    EXPECT_TRUE(manager->hasPendingCrashReport());
    EXPECT_EQ(manager->crashFiles(),
              (QStringList{QStringLiteral("100"), QStringLiteral("sub/200")}));
    EXPECT_TRUE(manager->hasNonApprovedCrashReports());
    manager->startManager();
    EXPECT_EQ(m_question->texts().size(), 1);
}

TEST_F(CrashReportManagerTest, DeactivatedReportingSavesAndSendsNothing) {
    settings()->setValue(QStringLiteral("QuincyKitActivated"), false);
    writeFile(pendingReport(), reportText("com.example.tests", "vaultora"));
    writeCrashFile(QStringLiteral("100"), reportText("com.example.tests", "vaultora"));
    const auto manager = launch();
    manager->setSubmissionAddress(m_service.url().toString());
    manager->startManager();

    EXPECT_FALSE(manager->isActive());
    EXPECT_FALSE(manager->hasPendingCrashReport());
    EXPECT_FALSE(manager->collector().isEnabled());
    EXPECT_TRUE(QFile::exists(pendingReport()));
    EXPECT_EQ(crashFilesOnDisk(), QStringList{QStringLiteral("100")});
    EXPECT_TRUE(m_question->texts().isEmpty());
    EXPECT_FALSE(manager->isSendingInProgress());
}

} // namespace

#include "CrashReportManagerTest.moc"
