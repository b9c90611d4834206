#include "webserver/UploadConnection.h"

#include "base/NotificationCenter.h"
#include "webserver/DocumentNames.h"
#include "webserver/HttpDataResponse.h"
#include "webserver/HttpFileResponse.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerLog.h"
#include "webserver/UploadFileName.h"
#include "webserver/WebServerNotifications.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>
#include <unistd.h>

namespace vaultora::webserver {

namespace {

// A part header longer than this is not one a browser sends.
constexpr qsizetype kMaxPartHeaderBytes = 65536;
constexpr qsizetype kMaxPartHeaderLines = 100;
constexpr qint64 kTrimWindow = 65536;

// Only regular files are offered: a symbolic link would show, and serve, whatever it points
// to, and folders are not uploads.
bool isListedDocument(const QFileInfo& entry) {
    return entry.isFile() && !entry.isSymLink() && !isReservedDocumentName(entry.fileName());
}

QString escapeHtml(const QString& text) {
    return text.toHtmlEscaped();
}

// A link is always a relative path with everything but unreserved characters percent-encoded
// (RFC 3986 section 2.3), so that no name can become a scheme such as "javascript:", a query
// or a fragment.
QString linkTarget(const QString& name) {
    return QStringLiteral("./") + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

// The largest position at or before start where separator begins, or -1. The file is read
// backwards in windows so that a large upload is not searched byte by byte.
qint64 findSeparatorBackward(QFile& file, const QByteArray& separator, qint64 start) {
    const auto length = static_cast<qint64>(separator.size());
    while (start >= 0) {
        const qint64 windowEnd = std::min(file.size(), start + length);
        const qint64 windowStart = std::max<qint64>(0, windowEnd - kTrimWindow - length);
        if (!file.seek(windowStart)) {
            return -1;
        }
        const QByteArray window = file.read(windowEnd - windowStart);
        const qsizetype found = window.lastIndexOf(separator, start - windowStart);
        if (found >= 0) {
            return windowStart + found;
        }
        start = windowStart - 1;
    }
    return -1;
}

} // namespace

bool UploadConnection::isBrowseable(const QString& /*path*/) {
    return true;
}

std::optional<QString> UploadConnection::filePathForURI(const QString& path) {
    const std::optional<QString> filePath = HttpConnection::filePathForURI(path);
    if (!filePath || !isListedDocument(QFileInfo(*filePath))) {
        return std::nullopt;
    }
    return filePath;
}

bool UploadConnection::supportsMethod(const QString& method, const QString& path) {
    if (method == QLatin1String("POST")) {
        return supportsPOST(path, requestContentLength());
    }
    return HttpConnection::supportsMethod(method, path);
}

bool UploadConnection::supportsPOST(const QString& /*path*/, uint64_t /*size*/) {
    resetUploadState();
    return true;
}

void UploadConnection::prepareForBodyWithSize(uint64_t size) {
    static_cast<void>(supportsPOST(request().path(), size));
}

void UploadConnection::resetUploadState() {
    m_multipartData.clear();
    m_pendingHeaderBytes.clear();
    m_postHeaderOK = false;
    m_discardBody = false;
    m_writeFailed = false;
    m_uploadFile.reset();
}

void UploadConnection::processDataChunk(const QByteArray& chunk) {
    if (m_postHeaderOK) {
        if (m_uploadFile && !m_writeFailed && m_uploadFile->write(chunk) != chunk.size()) {
            serverLog(QStringLiteral("Upload: cannot write %1: %2")
                          .arg(m_uploadFile->fileName(), m_uploadFile->errorString()));
            m_writeFailed = true;
        }
        return;
    }
    if (m_discardBody) {
        return;
    }
    // Part header lines end in CR LF (RFC 2046 section 5.1.1); the empty line ends the header.
    m_pendingHeaderBytes += chunk;
    qsizetype lineStart = 0;
    qsizetype lineEnd = 0;
    while ((lineEnd = m_pendingHeaderBytes.indexOf("\r\n", lineStart)) >= 0) {
        const QByteArray line = m_pendingHeaderBytes.mid(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        if (!line.isEmpty()) {
            m_multipartData.append(line);
            continue;
        }
        m_postHeaderOK = true;
        const QByteArray rest = m_pendingHeaderBytes.mid(lineStart);
        m_pendingHeaderBytes.clear();
        beginFile(rest);
        return;
    }
    m_pendingHeaderBytes.remove(0, lineStart);
    if (m_pendingHeaderBytes.size() > kMaxPartHeaderBytes ||
        m_multipartData.size() > kMaxPartHeaderLines) {
        serverLog(QStringLiteral("Upload: part header too long, body ignored"));
        m_discardBody = true;
        m_pendingHeaderBytes.clear();
    }
}

void UploadConnection::beginFile(const QByteArray& firstBytes) {
    if (m_multipartData.size() < 2) {
        return;
    }
    const QString fileName = uploadFileNameFromLine(m_multipartData.at(1));
    if (fileName.isEmpty()) {
        return;
    }
    if (!isAcceptableUploadFileName(fileName)) {
        serverLog(QStringLiteral("Upload: refused file name \"%1\"").arg(fileName));
        return;
    }
    auto file =
        std::make_unique<QTemporaryFile>(server()->documentRoot() + QLatin1Char('/') +
                                         uploadTemporaryPrefix() + QStringLiteral("XXXXXX"));
    if (!file->open()) {
        serverLog(QStringLiteral("Upload: cannot create a file in %1: %2")
                      .arg(server()->documentRoot(), file->errorString()));
        return;
    }
    m_uploadFile = std::move(file);
    processDataChunk(firstBytes);
}

std::unique_ptr<HttpResponse> UploadConnection::httpResponseForMethod(const QString& method,
                                                                      const QString& path) {
    serverLog(QStringLiteral("httpResponseForURI: method:%1 path:%2").arg(method, path));
    // One log line per header line: each is escaped on its own, so none can forge another.
    serverLog(QStringLiteral("=== Request ===================="));
    for (const QByteArray& line : request().headerLines()) {
        serverLog(QString::fromUtf8(line));
    }
    serverLog(QStringLiteral("================================"));

    if (requestContentLength() > 0) {
        serverLog(QStringLiteral("processing post data: %1").arg(requestContentLength()));
        if (m_multipartData.size() < 2) {
            resetUploadState();
            resetRequestContentLength();
            return nullptr;
        }
        completeUpload();
        resetUploadState();
        resetRequestContentLength();
    }

    if (const std::optional<QString> filePath = filePathForURI(path);
        filePath && QFileInfo(*filePath).isFile()) {
        auto response = std::make_unique<HttpFileResponse>(*filePath);
        if (response->isValid()) {
            return response;
        }
    }
    if (!isBrowseable(path)) {
        return nullptr;
    }
    const std::optional<QString> directory =
        server()->resolvePath(path, HttpServer::PathKind::Directory);
    // A path outside the documents directory is listed like one that names nothing.
    const QString page = createBrowseableIndex(directory.value_or(QString()));
    return std::make_unique<HttpDataResponse>(page.toUtf8());
}

void UploadConnection::completeUpload() {
    const QString fileName = uploadFileNameFromLine(m_multipartData.at(1));
    if (fileName.isEmpty() || !m_uploadFile) {
        return;
    }
    if (m_writeFailed) {
        serverLog(QStringLiteral("Upload: %1 not stored").arg(fileName));
        return;
    }
    const QByteArray separator = "\r\n" + m_multipartData.at(0);
    serverLog(QStringLiteral("data: %1").arg(m_uploadFile->fileName()));
    if (!trimTrailer(separator)) {
        serverLog(QStringLiteral("Upload: %1 has no closing boundary, not stored").arg(fileName));
        return;
    }
    if (!commitUpload(fileName)) {
        return;
    }
    serverLog(QStringLiteral("NewFileUploaded"));
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(notifications::newFileUploaded), this,
        {{QStringLiteral("filename"), fileName}});
}

bool UploadConnection::trimTrailer(const QByteArray& separator) {
    // The file part is followed by its closing delimiter and, from a browser, by the part of
    // the submit button; cutting at the last two delimiters leaves the file's own bytes
    // (RFC 2046 section 5.1.1: a delimiter is CR LF, "--" and the boundary).
    QTemporaryFile& file = *m_uploadFile;
    file.flush();
    const auto length = static_cast<qint64>(separator.size());
    qint64 position = file.size() - length;
    int cuts = 0;
    while (position >= 0 && cuts < 2) {
        const qint64 found = findSeparatorBackward(file, separator, position);
        if (found < 0) {
            break;
        }
        if (!file.resize(found)) {
            return false;
        }
        ++cuts;
        position = found - length - 1;
    }
    return cuts > 0;
}

bool UploadConnection::commitUpload(const QString& fileName) {
    QTemporaryFile& file = *m_uploadFile;
    const QString target = server()->documentRoot() + QLatin1Char('/') + fileName;
    // The data reaches the disk before the rename makes it the file of that name.
    const bool synced = file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!synced || std::rename(QFile::encodeName(file.fileName()).constData(),
                               QFile::encodeName(target).constData()) != 0) {
        serverLog(QStringLiteral("Upload: cannot store %1").arg(target));
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

QString UploadConnection::createBrowseableIndex(const QString& path) {
    const QString name = escapeHtml(server()->name());
    QString page = QStringLiteral("<html><head>");
    page += QStringLiteral("<title>Files on this device ") + name + QStringLiteral("</title>");
    page += QStringLiteral(
        "<style>html {background-color:#eeeeee} body { background-color:#FFFFFF; "
        "font-family:Tahoma,Arial,Helvetica,sans-serif; font-size:18x; margin-left:15%; "
        "margin-right:15%; border:3px groove #006600; padding:15px; } </style>");
    page += QStringLiteral("</head><body>");
    page += QStringLiteral("<h1>Files from ") + name + QStringLiteral("</h1>");
    page += QStringLiteral("<bq>These databases are already on the Vaultora Folder:</bq>");
    page += QStringLiteral("<p>");
    if (!path.isEmpty()) {
        const QFileInfoList entries = QDir(path).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
        for (const QFileInfo& entry : entries) {
            if (!isListedDocument(entry)) {
                continue;
            }
            const QString entryName = entry.fileName();
            page += QStringLiteral("<a href=\"%1\">%2</a>\t\t(%3 Kb, %4)<br />\n")
                        .arg(linkTarget(entryName), escapeHtml(entryName),
                             QString::asprintf("%8.1f", static_cast<double>(entry.size()) / 1024.0),
                             entry.lastModified().toString());
        }
    }
    page += QStringLiteral("</p>");
    page += QStringLiteral(
        "<form action=\"\" method=\"post\" enctype=\"multipart/form-data\" name=\"form1\" "
        "id=\"form1\">");
    page += QStringLiteral("<label>upload file");
    page += QStringLiteral("<input type=\"file\" name=\"file\" id=\"file\" />");
    page += QStringLiteral("</label>");
    page += QStringLiteral("<label>");
    page +=
        QStringLiteral("<input type=\"submit\" name=\"button\" id=\"button\" value=\"Submit\" />");
    page += QStringLiteral("</label>");
    page += QStringLiteral("</form>");
    page += QStringLiteral("</body></html>");
    return page;
}

} // namespace vaultora::webserver
