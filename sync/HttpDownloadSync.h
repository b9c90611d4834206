// Brings a database file onto the device from a web address: one blocking GET with its
// progress in the progress view, the body written over the local copy in one atomic step,
// and an error panel when anything goes wrong. One object per download.
#pragma once

#include "net/HttpProgressDelegate.h"

#include <QString>
#include <functional>

namespace vaultora::sync {

class SyncProgressView;

class HttpDownloadSync final : public net::HttpProgressDelegate {
public:
    // The full path of a database file name in the documents directory (the application
    // delegate's getDocumentBaseDirectoryForFileName).
    using PathResolver = std::function<QString(const QString& fileName)>;

    HttpDownloadSync(SyncProgressView& view, PathResolver pathResolver);
    HttpDownloadSync(const HttpDownloadSync&) = delete;
    HttpDownloadSync& operator=(const HttpDownloadSync&) = delete;
    ~HttpDownloadSync() override;

    // The name under which a download from the address is stored: its last path component.
    [[nodiscard]] static QString fileNameForURL(const QString& url);

    // Downloads the address (taken as written) and stores the body as the file name resolved
    // in the documents directory. Returns once the transfer has ended: true when the file was
    // written, false otherwise, in which case an error panel says why and the old file stays.
    [[nodiscard]] bool downloadFromURL(const QString& url, const QString& fileName);

    [[nodiscard]] qint64 lDownloadDestinationSize() const { return m_lDownloadDestinationSize; }

    // Seconds without network activity before the download gives up. The application keeps
    // the client's default; tests shorten it.
    void setTimeOutSeconds(double seconds) { m_timeOutSeconds = seconds; }

    void requestIncrementDownloadSizeBy(net::HttpRequest& request, qint64 bytes) override;
    void requestDidReceiveBytes(net::HttpRequest& request, qint64 bytes) override;

private:
    void showDownloadError(const QString& title);

    SyncProgressView& m_view;
    PathResolver m_pathResolver;
    qint64 m_lDownloadDestinationSize = 5000;
    qint64 m_bytesReceived = 0;
    double m_timeOutSeconds;
};

} // namespace vaultora::sync
