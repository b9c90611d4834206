// A registered download record without a local copy, opened from the menu of the running
// application: the file comes from a web server on 127.0.0.1 with the progress panel on
// show, and the database opens with its saved password.
#include "ScreenTestSupport.h"

#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "app/ApplicationController.h"
#include "net/Reachability.h"
#include "ui/IdleWatchingWindow.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFile>
#include <QProcess>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace screentest;
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

TEST(HttpDownloadEndToEnd, ARecordWithoutLocalCopyOpensAfterTheDownload) {
    QTemporaryDir served;
    ASSERT_TRUE(QFile::copy(testDatabasePath(), served.filePath(QStringLiteral("remote.kdb"))));
    FolderServer server(served.path());
    ASSERT_NE(server.port(), 0) << "the file server did not start";
    // The machine running the tests may have no default route; the server is on loopback.
    vaultora::net::Reachability::setForcedStatusForTesting(vaultora::net::Reachability::ReachableViaWiFi);

    QTemporaryDir documents;
    ScopedMemoryKeychain keychain;
    auto owned = std::make_unique<vaultora::launch::ScreenLaunchParts>();
    vaultora::launch::ScreenLaunchParts* parts = owned.get();
    vaultora::app::ApplicationController delegate(std::move(owned), documents.path());
    ASSERT_TRUE(delegate.didFinishLaunchingWithOptions());
    vaultora::ui::IdleWatchingWindow* window = parts->window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    // The menu's first record becomes a download record whose file is not on the device.
    const QString url = QStringLiteral("http://127.0.0.1:%1/remote.kdb").arg(server.port());
    vaultora::base::DatabaseRecord& record = *delegate.serverArray().front();
    const QString shownName = record.serverDisplayName();
    record.setSyncType(vaultora::base::DatabaseRecord::SyncTypeHttpDownload);
    record.setServerUrl(url);
    record.setDatabaseName(QStringLiteral("remote.kdb"));
    record.setSavePassword(1);
    keychain.store(url, QStringLiteral("tulipfox"));
    vaultora::base::NotificationCenter::defaultCenter().post(QString::fromLatin1(vaultora::base::Notifications::databasesChanged));
    ASSERT_FALSE(
        QFile::exists(delegate.getDocumentBaseDirectoryForFileName(record.databaseName())));

    QStringList panelTitles;
    QObject listening;
    vaultora::toolkit::TransientPanelHost* panels = parts->services().transientPanels;
    QObject::connect(panels, &QAbstractItemModel::rowsInserted, &listening,
                     [&](const QModelIndex&, int first, int) {
                         panelTitles.append(panels->panels().at(first)->title());
                     });

    vaultora::toolkit::StackController* stack = parts->services().stack;
    QSignalSpy stackChanges(stack, &vaultora::toolkit::StackController::countChanged);
    QQuickItem* row = nullptr;
    for (int attempt = 0; row == nullptr && attempt < 50; ++attempt) {
        row = findVisibleItemWithText(window->contentItem(), shownName);
        if (row == nullptr)
            QTest::qWait(100);
    }
    ASSERT_NE(row, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                      row->mapToScene(QPointF(row->width() / 2, row->height() / 2)).toPoint());
    const bool opened = stack->count() == 1 || stackChanges.wait(20000);
    vaultora::net::Reachability::setForcedStatusForTesting(std::nullopt);
    ASSERT_TRUE(opened) << "the database did not open; panels: "
                        << panelTitles.join(QStringLiteral(" | ")).toStdString();

    EXPECT_EQ(stack->count(), 1);
    EXPECT_TRUE(panelTitles.contains(QStringLiteral("Downloading Database")));
    QFile original(testDatabasePath());
    QFile downloaded(delegate.getDocumentBaseDirectoryForFileName(QStringLiteral("remote.kdb")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_TRUE(downloaded.open(QIODevice::ReadOnly));
    EXPECT_EQ(downloaded.readAll(), original.readAll());
}

} // namespace
