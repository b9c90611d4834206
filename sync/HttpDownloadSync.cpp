#include "sync/HttpDownloadSync.h"

#include "net/HttpRequest.h"
#include "net/Reachability.h"
#include "net/UrlDisplay.h"
#include "sync/SyncProgressView.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace vaultora::sync {
namespace {

// The denominator of the progress bar until the server announces the real size.
constexpr qint64 AssumedDownloadSize = 5000;
// Larger files are refused: no database comes near it, and a hostile server could otherwise
// fill the disk.
constexpr qsizetype MaximumDatabaseSize = qsizetype{1} << 30;

const QString DownloadErrorSubtitle = QStringLiteral("Error downloading database file.");
// How long the word of a finished download stays.
constexpr double DownloadedPanelSeconds = 1.5;

} // namespace

HttpDownloadSync::HttpDownloadSync(SyncProgressView& view, PathResolver pathResolver)
    : m_view(view), m_pathResolver(std::move(pathResolver)),
      m_timeOutSeconds(net::HttpRequest::defaultTimeOutSeconds) {}

HttpDownloadSync::~HttpDownloadSync() = default;

QString HttpDownloadSync::fileNameForURL(const QString& url) {
    QString path = url;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool HttpDownloadSync::downloadFromURL(const QString& url, const QString& fileName) {
    if (net::Reachability::reachabilityForInternetConnection().currentReachabilityStatus() ==
        net::Reachability::NotReachable) {
        m_view.showError(QStringLiteral("There is no network available!"),
                         QStringLiteral("Database cannot be downloaded."), 2.5);
        return false;
    }
    const QString path = m_pathResolver(fileName);

    m_view.showProgress(QStringLiteral("Downloading Database"), 0);

    // The body streams into a file beside the old copy, which it replaces in one rename only
    // when the download is complete and good: a failure leaves the old copy as it was.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "Could not write the downloaded database to" << path << ":"
                             << file.errorString();
        showDownloadError(file.errorString());
        return false;
    }

    auto request = net::HttpRequest::requestWithURL(QUrl(url, QUrl::StrictMode));
    request->setTimeOutSeconds(m_timeOutSeconds);
    request->setDownloadDestination(&file);
    request->setMaximumResponseLength(MaximumDatabaseSize);
    m_lDownloadDestinationSize = AssumedDownloadSize;
    m_bytesReceived = 0;
    request->setDownloadProgressDelegate(this);
    request->startSynchronous();

    m_view.finishProgress(2.0);

    if (const auto& error = request->error()) {
        file.cancelWriting();
        qWarning().noquote() << "Download of" << net::UrlDisplay::withoutUserInfo(url) << "failed:"
                             << net::UrlDisplay::scrub(error->localizedDescription(), url)
                             << net::UrlDisplay::scrub(error->underlyingError(), url);
        showDownloadError(net::UrlDisplay::scrub(error->localizedDescription(), url));
        return false;
    }
    // An error page is not a database: storing it would replace a good copy with something
    // that cannot be opened.
    const int status = request->responseStatusCode();
    if (status < 200 || status > 299) {
        file.cancelWriting();
        qWarning().noquote() << "Download of" << net::UrlDisplay::withoutUserInfo(url) << "answered"
                             << status;
        showDownloadError(QStringLiteral("The server answered %1").arg(status));
        return false;
    }
    if (!file.commit()) {
        qWarning().noquote() << "Could not write the downloaded database to" << path << ":"
                             << file.errorString();
        showDownloadError(file.errorString());
        return false;
    }
    // The full bar gives way to a short word that the file is here, and which file it is.
    m_view.hideProgress();
    m_view.showInformation(QStringLiteral("Database downloaded"), QFileInfo(path).fileName(),
                           DownloadedPanelSeconds);
    return true;
}

void HttpDownloadSync::showDownloadError(const QString& title) {
    m_view.hideProgress();
    m_view.showError(title, DownloadErrorSubtitle, 2.5);
}

void HttpDownloadSync::requestIncrementDownloadSizeBy(net::HttpRequest&, qint64 bytes) {
    m_lDownloadDestinationSize = bytes;
}

void HttpDownloadSync::requestDidReceiveBytes(net::HttpRequest&, qint64 bytes) {
    m_bytesReceived += bytes;
    // An announced size of 0 comes with no body bytes; the guard only keeps the division
    // defined.
    const qint64 total = m_lDownloadDestinationSize > 0 ? m_lDownloadDestinationSize : 1;
    m_view.setProgress(static_cast<double>(m_bytesReceived) / static_cast<double>(total),
                       SyncProgressView::Motion::Animated);
}

} // namespace vaultora::sync
