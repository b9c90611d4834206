#include "webserver/UploadConnection.h"

#include "base/NotificationCenter.h"
#include "webserver/DocumentNames.h"
#include "webserver/FormUpload.h"
#include "webserver/HttpDataResponse.h"
#include "webserver/HttpFileResponse.h"
#include "webserver/HttpServer.h"
#include "webserver/ServerLog.h"
#include "webserver/WebServerNotifications.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vaultora::webserver {

namespace {

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
    m_upload = std::make_unique<FormUpload>(
        server()->documentRoot(),
        request().uniqueHeaderField("Content-Type").value_or(QByteArray()));
}

void UploadConnection::processDataChunk(const QByteArray& chunk) {
    if (m_upload) {
        m_upload->receive(chunk);
    }
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
        const std::unique_ptr<FormUpload> upload = std::move(m_upload);
        resetRequestContentLength();
        // A body without a single form part is nothing the page's form sent.
        if (!upload || !upload->receivedFormPart()) {
            return nullptr;
        }
        const FormUpload::Outcome outcome = upload->finish();
        m_uploadMessage = outcome.message;
        if (outcome.storedFileName) {
            serverLog(QStringLiteral("NewFileUploaded"));
            base::NotificationCenter::defaultCenter().post(
                QString::fromLatin1(notifications::newFileUploaded), this,
                {{QStringLiteral("filename"), *outcome.storedFileName}});
        }
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
    m_uploadMessage.clear();
    return std::make_unique<HttpDataResponse>(page.toUtf8());
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
    if (!m_uploadMessage.isEmpty()) {
        page += QStringLiteral("<p>") + escapeHtml(m_uploadMessage) + QStringLiteral("</p>");
    }
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
