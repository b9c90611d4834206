// A registered download record without a local copy, opened from the menu of the running
// application: the file comes from a web server on 127.0.0.1 with the progress panel on
// show, and the database opens with its saved password.
#include "ScreenTestSupport.h"

#include "app/ApplicationController.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "launch/ScreenLaunchParts.h"
#include "net/Reachability.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vaultora::test::screens;
using vaultora::net::Reachability;

namespace {

QQuickItem* findVisibleItemWithText(QQuickItem* item, const QString& text) {
    if (!item->isVisible())
        return nullptr;
    QQuickItem* found = nullptr;
    if (item->property("text").toString() == text && item->width() > 0 && item->height() > 0)
        found = item;
    const auto children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* inChild = findVisibleItemWithText(child, text))
            found = inChild;
    }
    return found;
}

// A static file server on 127.0.0.1 over a folder, stopped with the object.
class FolderServer {
public:
    explicit FolderServer(const QString& folder) {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("python3"),
                        {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                         QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("--directory"), folder});
        const QRegularExpression announcement(QStringLiteral("port (\\d+)"));
        QByteArray output;
        while (m_port == 0 && m_process.waitForReadyRead(10000)) {
            output += m_process.readAll();
            const auto match = announcement.match(QString::fromLatin1(output));
            if (match.hasMatch())
                m_port = match.captured(1).toInt();
        }
    }
    ~FolderServer() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    FolderServer(const FolderServer&) = delete;
    FolderServer& operator=(const FolderServer&) = delete;

    [[nodiscard]] int port() const { return m_port; }

private:
    QProcess m_process;
    int m_port = 0;
};

// Serves one file and sends its body in twenty slices a tenth of a second apart.
constexpr char tricklingServer[] = R"(
import http.server, sys, time
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        data = open(sys.argv[1], 'rb').read()
        self.send_response(200)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        step = max(1, len(data) // 20)
        for start in range(0, len(data), step):
            self.wfile.write(data[start:start + step])
            self.wfile.flush()
            time.sleep(0.1)
    def log_message(self, *arguments):
        pass
server = http.server.HTTPServer(('127.0.0.1', 0), Handler)
print('port', server.server_address[1], flush=True)
server.serve_forever()
)";

// The launched application whose first menu record downloads its file from url, with the
// saved password, and has no local copy yet.
class DownloadRecordApplication {
public:
    explicit DownloadRecordApplication(const QString& url) {
        auto owned = std::make_unique<vaultora::launch::ScreenLaunchParts>();
        m_parts = owned.get();
        m_delegate = std::make_unique<vaultora::app::ApplicationController>(std::move(owned),
                                                                            m_documents.path());
        m_delegate->didFinishLaunchingWithOptions();
        vaultora::base::DatabaseRecord& record = *m_delegate->serverArray().front();
        m_shownName = record.serverDisplayName();
        record.setSyncType(vaultora::base::DatabaseRecord::SyncTypeHttpDownload);
        record.setServerUrl(url);
        record.setDatabaseName(QStringLiteral("remote.kdb"));
        record.setSavePassword(1);
        m_keychain.store(url, QStringLiteral("tulipfox"));
        vaultora::base::NotificationCenter::defaultCenter().post(
            QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
        QObject::connect(panels(), &QAbstractItemModel::rowsInserted, &m_listening,
                         [this](const QModelIndex&, int first, int) {
                             m_panelTitles.append(panels()->panels().at(first)->title());
                         });
    }

    [[nodiscard]] vaultora::app::ApplicationController& delegate() { return *m_delegate; }
    [[nodiscard]] const vaultora::ui::ScreenServices& services() const {
        return m_parts->services();
    }
    [[nodiscard]] vaultora::toolkit::TransientPanelHost* panels() const {
        return services().transientPanels;
    }
    [[nodiscard]] vaultora::ui::IdleWatchingWindow* window() const { return m_parts->window(); }
    [[nodiscard]] QString downloadedPath() const {
        return m_delegate->getDocumentBaseDirectoryForFileName(QStringLiteral("remote.kdb"));
    }
    [[nodiscard]] QString panelTitles() const { return m_panelTitles.join(QStringLiteral(" | ")); }
    [[nodiscard]] const QStringList& panelTitleList() const { return m_panelTitles; }

    // Clicks the record's row in the menu; false when the row never showed.
    [[nodiscard]] bool clickRecord() {
        QQuickItem* row = nullptr;
        for (int attempt = 0; row == nullptr && attempt < 50; ++attempt) {
            row = findVisibleItemWithText(window()->contentItem(), m_shownName);
            if (row == nullptr)
                QTest::qWait(100);
        }
        if (row == nullptr)
            return false;
        QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier,
                          row->mapToScene(QPointF(row->width() / 2, row->height() / 2)).toPoint());
        return true;
    }

private:
    QTemporaryDir m_documents;
    ScopedMemoryKeychain m_keychain;
    vaultora::launch::ScreenLaunchParts* m_parts = nullptr;
    std::unique_ptr<vaultora::app::ApplicationController> m_delegate;
    QString m_shownName;
    QObject m_listening;
    QStringList m_panelTitles;
};

TEST(HttpDownloadEndToEnd, ARecordWithoutLocalCopyOpensAfterTheDownload) {
    QTemporaryDir served;
    ASSERT_TRUE(QFile::copy(testDatabasePath(), served.filePath(QStringLiteral("remote.kdb"))));
    FolderServer server(served.path());
    ASSERT_NE(server.port(), 0) << "the file server did not start";
    // The machine running the tests may have no default route; the server is on loopback.
    Reachability::setForcedStatusForTesting(Reachability::ReachableViaWiFi);

    DownloadRecordApplication application(
        QStringLiteral("http://127.0.0.1:%1/remote.kdb").arg(server.port()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(application.window()));
    ASSERT_FALSE(QFile::exists(application.downloadedPath()));

    vaultora::toolkit::StackController* stack = application.services().stack;
    QSignalSpy stackChanges(stack, &vaultora::toolkit::StackController::countChanged);
    ASSERT_TRUE(application.clickRecord());
    const bool opened = stack->count() == 1 || stackChanges.wait(20000);
    Reachability::setForcedStatusForTesting(std::nullopt);
    ASSERT_TRUE(opened) << "the database did not open; panels: "
                        << application.panelTitles().toStdString();

    EXPECT_EQ(stack->count(), 1);
    EXPECT_TRUE(application.panelTitleList().contains(QStringLiteral("Downloading Database")));
    QFile original(testDatabasePath());
    QFile downloaded(application.downloadedPath());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_TRUE(downloaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(downloaded.readAll(), original.readAll());
}

// The download waits for the network with the event loop running, so the idle logout can
// come in the middle of it: the open must stop there, with no password form and no overlay
// left over the locked menu, which still opens the record afterwards.
TEST(HttpDownloadEndToEnd, IdleLogoutDuringTheDownloadOpensNothingAndLeavesTheMenuUsable) {
    QTemporaryDir served;
    ASSERT_TRUE(QFile::copy(testDatabasePath(), served.filePath(QStringLiteral("remote.kdb"))));
    QProcess server;
    server.start(QStringLiteral("python3"),
                 {QStringLiteral("-u"), QStringLiteral("-c"), QString::fromLatin1(tricklingServer),
                  served.filePath(QStringLiteral("remote.kdb"))});
    const QRegularExpression announcement(QStringLiteral("port (\\d+)\\n"));
    QByteArray output;
    int port = 0;
    while (port == 0 && server.waitForReadyRead(10000)) {
        output += server.readAll();
        const auto match = announcement.match(QString::fromLatin1(output));
        if (match.hasMatch())
            port = match.captured(1).toInt();
    }
    ASSERT_NE(port, 0) << "the trickling server did not start";
    Reachability::setForcedStatusForTesting(Reachability::ReachableViaWiFi);

    DownloadRecordApplication application(
        QStringLiteral("http://127.0.0.1:%1/remote.kdb").arg(port));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(application.window()));
    vaultora::toolkit::StackController* stack = application.services().stack;

    QTimer::singleShot(500, [] {
        vaultora::base::NotificationCenter::defaultCenter().post(
            QString::fromLatin1(vaultora::base::Notifications::windowIdle));
    });
    ASSERT_TRUE(application.clickRecord());
    for (int attempt = 0; !QFile::exists(application.downloadedPath()) && attempt < 150; ++attempt)
        QTest::qWait(100);
    ASSERT_TRUE(QFile::exists(application.downloadedPath()))
        << application.panelTitles().toStdString();
    QTest::qWait(500);

    EXPECT_TRUE(application.panelTitleList().contains(QStringLiteral("Auto timeout")))
        << application.panelTitles().toStdString();
    EXPECT_EQ(stack->count(), 0);
    EXPECT_FALSE(application.services().modalPresenter->isPresenting());
    EXPECT_FALSE(application.services().progressOverlay->isVisible());

    QSignalSpy stackChanges(stack, &vaultora::toolkit::StackController::countChanged);
    ASSERT_TRUE(application.clickRecord());
    EXPECT_TRUE(stack->count() == 1 || stackChanges.wait(20000));
    Reachability::setForcedStatusForTesting(std::nullopt);
    server.kill();
    server.waitForFinished(5000);
}

} // namespace
