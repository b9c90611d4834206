#include "ui/WebServerScreen.h"
#include "base/NotificationCenter.h"
#include "tests/webserver/support/RawClient.h"
#include "ui/WebServerScreenHost.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "webserver/HttpServer.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vaultora::ui::WebServerScreen;

namespace {

class RecordingRootView final : public vaultora::ui::WebServerScreenHost {
public:
    void setDatabaseRecord(const std::shared_ptr<vaultora::base::DatabaseRecord>& record) override {
        received = record;
    }
    void createDialog() override { ++rebuilds; }
    void showAgain() override { ++shows; }

    std::shared_ptr<vaultora::base::DatabaseRecord> received;
    int rebuilds = 0;
    int shows = 0;
};

// The section titles and row labels of the form, in order.
QStringList formText(const vaultora::ui::WebServerScreen& screen) {
    QStringList text{screen.form()->title()};
    for (const vaultora::toolkit::FormSection* section : screen.form()->sections()) {
        text.append(QStringLiteral("[%1]").arg(section->title()));
        for (const vaultora::toolkit::FormRow* row : section->rows()) {
            text.append(row->label());
        }
    }
    return text;
}

vaultora::toolkit::FormRow* rowLabelled(const vaultora::ui::WebServerScreen& screen,
                                        const QString& label) {
    for (const vaultora::toolkit::FormSection* section : screen.form()->sections()) {
        for (vaultora::toolkit::FormRow* row : section->rows()) {
            if (row->label() == label) {
                return row;
            }
        }
    }
    return nullptr;
}

class HttpServerScreen : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_documents.isValid());
        m_record = vaultora::base::DatabaseRecord::createNewDatabase();
        m_screen.setDatabaseRecord(m_record);
        m_screen.setRootView(&m_rootView);
    }

    void press(const QString& label) {
        vaultora::toolkit::FormRow* row = rowLabelled(m_screen, label);
        ASSERT_NE(row, nullptr) << label.toStdString();
        row->select();
    }

    QTemporaryDir m_documents;
    std::shared_ptr<vaultora::toolkit::ManualTimerFactory> m_timers =
        std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    vaultora::toolkit::TransientPanelHost m_panels{m_timers};
    vaultora::ui::WebServerScreen m_screen{m_documents.path(), &m_panels};
    RecordingRootView m_rootView;
    std::shared_ptr<vaultora::base::DatabaseRecord> m_record;
};

TEST_F(HttpServerScreen, ShowsTheServerNotStartedUntilTheButtonIsPressed) {
    QAbstractItemModelTester tester(m_screen.form(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(formText(m_screen),
              (QStringList{"HTTP Server", "[Press here to start]", "Start HTTP Server",
                           "[HTTP Server status]", "HTTP Server not started",
                           "[Please type in browser]", "- -", "[]", "Ok"}));
    EXPECT_FALSE(m_screen.httpServer()->isRunning());
}

TEST_F(HttpServerScreen, StartsOnceAndShowsTheAddressWithThePort) {
    int announcements = 0;
    QObject observer;
    vaultora::base::NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("LocalhostAdressesResolved"), &observer,
        [&announcements](const vaultora::base::Notification&) { ++announcements; });
    press(QStringLiteral("Start HTTP Server"));
    ASSERT_TRUE(m_screen.httpServer()->isRunning());
    const QString address = QStringLiteral("%1:%2")
                                .arg(vaultora::ui::WebServerScreen::getIPAddress())
                                .arg(m_screen.httpServer()->port());
    EXPECT_EQ(m_screen.httpServerAddress(), address);
    EXPECT_NE(rowLabelled(m_screen, QStringLiteral("HTTP Server started")), nullptr);
    EXPECT_NE(rowLabelled(m_screen, address), nullptr);

    press(QStringLiteral("Start HTTP Server"));
    EXPECT_EQ(announcements, 1);
    EXPECT_TRUE(m_panels.panels().isEmpty());
}

TEST_F(HttpServerScreen, ReportsAFailedStartAndLetsTheButtonTryAgain) {
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::AnyIPv4, 0));
    m_screen.httpServer()->setPort(occupant.serverPort());
    press(QStringLiteral("Start HTTP Server"));
    ASSERT_EQ(m_panels.panels().size(), 1);
    EXPECT_EQ(m_panels.panels().front()->title(), QStringLiteral("Error starting HTTP Server"));
    EXPECT_FALSE(m_panels.panels().front()->subtitle().isEmpty());
    EXPECT_NE(rowLabelled(m_screen, QStringLiteral("HTTP Server not started")), nullptr);
    EXPECT_NE(rowLabelled(m_screen, QStringLiteral("- -")), nullptr);
    m_timers->advance(std::chrono::milliseconds(2500));
    EXPECT_TRUE(m_panels.panels().isEmpty());

    m_screen.httpServer()->setPort(0);
    press(QStringLiteral("Start HTTP Server"));
    EXPECT_TRUE(m_screen.httpServer()->isRunning());
    EXPECT_NE(rowLabelled(m_screen, QStringLiteral("HTTP Server started")), nullptr);
}

TEST_F(HttpServerScreen, AnUploadNamesTheRecordAndOkReturnsToTheDetails) {
    press(QStringLiteral("Start HTTP Server"));
    ASSERT_TRUE(m_screen.httpServer()->isRunning());
    const QByteArray boundary = "----Boundary";
    const QByteArray body = "--" + boundary +
                            "\r\nContent-Disposition: form-data; name=\"file\"; "
                            "filename=\"MyDb.kdbx\"\r\n\r\ndatabase\r\n--" +
                            boundary + "--\r\n";
    vaultora::test::web::runClient([&] {
        vaultora::test::web::RawClient client(m_screen.httpServer()->port());
        client.send("POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) +
                    "\r\n\r\n" + body);
        const auto response = client.readResponse();
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 200);
    });
    EXPECT_EQ(m_record->serverDisplayName(), QStringLiteral("MyDb"));
    EXPECT_EQ(m_record->serverUrl(), QStringLiteral("MyDb.kdbx"));
    EXPECT_EQ(m_record->databaseName(), QStringLiteral("MyDb.kdbx"));
    EXPECT_EQ(m_rootView.received, m_record);
    EXPECT_NE(rowLabelled(m_screen, QStringLiteral("File successfully uploaded")), nullptr);
    QFile stored(m_documents.path() + QStringLiteral("/MyDb.kdbx"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("database"));

    press(QStringLiteral("Ok"));
    EXPECT_EQ(m_rootView.rebuilds, 1);
    EXPECT_EQ(m_rootView.shows, 1);
    // Leaving with "Ok" keeps the server running for further uploads.
    EXPECT_TRUE(m_screen.httpServer()->isRunning());
}

TEST_F(HttpServerScreen, NamesEachFileReceivedAndKeepsTheLatestTwenty) {
    const auto received = [this] {
        QStringList names;
        const auto rows = m_screen.form()->sections().at(1)->rows();
        for (const vaultora::toolkit::FormRow* row : rows) {
            if (row->label() == QStringLiteral("Received")) {
                names.append(row->text());
            }
        }
        return names;
    };
    EXPECT_TRUE(received().isEmpty());
    const auto upload = [this](const QString& name) {
        vaultora::base::Notification note;
        note.userInfo.insert(QStringLiteral("filename"), name);
        m_screen.newFileUploadedInfoUpdate(note);
    };
    upload(QStringLiteral("first.kdbx"));
    upload(QStringLiteral("second.kdb"));
    EXPECT_EQ(received(), QStringList({"first.kdbx", "second.kdb"}));
    EXPECT_EQ(m_screen.form()->sections().at(1)->rows().at(0)->label(),
              QStringLiteral("File successfully uploaded"));

    for (int number = 0; number < 30; ++number) {
        upload(QStringLiteral("many%1.kdb").arg(number));
    }
    const QStringList names = received();
    ASSERT_EQ(names.size(), 20);
    EXPECT_EQ(names.front(), QStringLiteral("many10.kdb"));
    EXPECT_EQ(names.back(), QStringLiteral("many29.kdb"));
}

} // namespace
