#include "sync/dropbox/DropboxRequest.h"

#include "net/CurlHandles.h"
#include "net/HttpTransferEngine.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <atomic>

namespace vaultora::sync {

struct DropboxRequest::Outcome {
    CURLcode result = CURLE_OK;
    QString connectionError;
    int statusCode = 0;
    QMap<QString, QString> headers;
    QByteArray body;
    std::optional<net::NetworkError> fileError;
};

// What the worker thread owns while the exchange runs; the request object only reads the
// cancel flag's counterpart and receives posted results.
struct DropboxRequest::Transfer {
    net::OAuthSignedRequest request;
    QByteArray certificateAuthorityFile;
    QString resultFilename;
    DropboxRequest* owner = nullptr;
    std::atomic<bool> cancelled = false;

    Outcome outcome;
    bool headersComplete = false;
    qint64 expectedLength = -1;
    qint64 received = 0;
    std::unique_ptr<QSaveFile> file;
    char errorText[CURL_ERROR_SIZE] = {};

    void run();
    void beginBody();
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

namespace {

// A transfer that makes no progress for this long has failed.
constexpr long StalledSeconds = 60;
constexpr long ConnectSeconds = 30;

net::NetworkError fileErrorValue(const QSaveFile& file, const QString& message) {
    return net::NetworkError{DropboxRequest::FileErrorDomain,
                        static_cast<int>(file.error()),
                        {{net::NetworkError::LocalizedDescriptionKey, message},
                         {net::NetworkError::UnderlyingErrorKey, file.errorString()}}};
}

} // namespace

std::size_t DropboxRequest::Transfer::onHeader(char* data, std::size_t size, std::size_t count,
                                          void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(length)).trimmed();
    if (line.startsWith("HTTP/")) {
        // Each response (an interim 100 included) starts afresh.
        transfer.outcome.headers.clear();
        transfer.outcome.statusCode = line.split(' ').value(1).toInt();
        transfer.headersComplete = false;
    } else if (line.isEmpty()) {
        if (transfer.outcome.statusCode >= 200) {
            transfer.headersComplete = true;
            transfer.beginBody();
        }
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        const QString name = QString::fromLatin1(line.left(colon).trimmed()).toLower();
        const QString value = QString::fromLatin1(line.mid(colon + 1).trimmed());
        transfer.outcome.headers.insert(name, value);
        if (name == QLatin1String("content-length"))
            transfer.expectedLength = value.toLongLong();
    }
    return transfer.cancelled ? 0 : length;
}

void DropboxRequest::Transfer::beginBody() {
    if (resultFilename.isEmpty() || outcome.statusCode != 200 || file)
        return;
    file = std::make_unique<QSaveFile>(resultFilename);
    if (!file->open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "DropboxRequest#connection:didReceiveData: Error creating file at path:"
                             << resultFilename << file->errorString();
        outcome.fileError = fileErrorValue(*file, QStringLiteral("The file could not be created."));
    }
}

std::size_t DropboxRequest::Transfer::onBody(char* data, std::size_t size, std::size_t count,
                                        void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    if (transfer.cancelled || transfer.outcome.fileError)
        return 0;
    if (transfer.file) {
        if (transfer.file->write(data, static_cast<qint64>(length)) !=
            static_cast<qint64>(length)) {
            transfer.outcome.fileError =
                fileErrorValue(*transfer.file, QStringLiteral("The file could not be written."));
            return 0;
        }
        transfer.received += static_cast<qint64>(length);
        const qint64 received = transfer.received;
        const qint64 expected = transfer.expectedLength;
        DropboxRequest* owner = transfer.owner;
        QMetaObject::invokeMethod(
            owner, [owner, received, expected] { owner->receiveProgress(received, expected); },
            Qt::QueuedConnection);
    } else {
        transfer.outcome.body.append(data, static_cast<qsizetype>(length));
    }
    return length;
}

int DropboxRequest::Transfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(self)->cancelled ? 1 : 0;
}

void DropboxRequest::Transfer::run() {
    net::CurlEasy easy(curl_easy_init());
    net::CurlHeaderList headers;
    if (!easy) {
        outcome.result = CURLE_FAILED_INIT;
        return;
    }
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, request.url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_SHARE, net::HttpTransferEngine::share());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, ConnectSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, StalledSeconds);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!certificateAuthorityFile.isEmpty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, certificateAuthorityFile.constData());
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    // A POST's form body is small; waiting for "100 Continue" would only add a round trip.
    headers.reset(curl_slist_append(headers.release(), "Expect:"));
    for (const auto& [name, value] : request.headers) {
        const QByteArray line = name + ": " + value;
        headers.reset(curl_slist_append(headers.release(), line.constData()));
    }
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    if (request.method == "POST") {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(handle, CURLOPT_COPYPOSTFIELDS, request.body.constData());
    } else {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    }

    outcome.result = curl_easy_perform(handle);
    if (outcome.result != CURLE_OK && !outcome.fileError) {
        outcome.connectionError = QString::fromUtf8(
            errorText[0] != '\0' ? errorText : curl_easy_strerror(outcome.result));
        // An unfinished temporary file is discarded with its QSaveFile.
        return;
    }
    if (outcome.fileError || cancelled)
        return;
    if (outcome.statusCode == 200 && !resultFilename.isEmpty()) {
        beginBody();
        if (outcome.fileError)
            return;
        if (!file->commit()) {
            qWarning().noquote() << "DropboxRequest#connectionDidFinishLoading: error moving temp file "
                                    "to desired location:"
                                 << resultFilename << file->errorString();
            outcome.fileError =
                fileErrorValue(*file, QStringLiteral("The file could not be moved into place."));
        }
    }
}

DropboxRequest::DropboxRequest(net::OAuthSignedRequest request, QString certificateAuthorityFile,
                     Callback completion, QObject* parent)
    : QObject(parent), m_request(std::move(request)),
      m_certificateAuthorityFile(std::move(certificateAuthorityFile)),
      m_completion(std::move(completion)) {}

DropboxRequest::~DropboxRequest() {
    if (m_transfer)
        m_transfer->cancelled = true;
    // The worker posts to this object; once it has ended, nothing more can arrive.
    if (m_worker.joinable())
        m_worker.join();
}

void DropboxRequest::start() {
    if (m_transfer)
        return;
    m_transfer = std::make_shared<Transfer>();
    m_transfer->request = m_request;
    m_transfer->certificateAuthorityFile = m_certificateAuthorityFile.toLocal8Bit();
    m_transfer->resultFilename = m_resultFilename;
    m_transfer->owner = this;
    std::shared_ptr<Transfer> transfer = m_transfer;
    m_worker = std::thread([transfer] {
        transfer->run();
        // The file is committed or discarded before the owner hears of the end.
        transfer->file.reset();
        DropboxRequest* owner = transfer->owner;
        QMetaObject::invokeMethod(
            owner, [owner, transfer] { owner->finish(transfer->outcome); }, Qt::QueuedConnection);
    });
}

void DropboxRequest::cancel() {
    m_cancelled = true;
    m_completion = {};
    m_failure = {};
    m_progress = {};
    if (m_transfer)
        m_transfer->cancelled = true;
}

QString DropboxRequest::responseHeader(const QString& name) const {
    return m_responseHeaders.value(name.toLower());
}

void DropboxRequest::receiveProgress(qint64 received, qint64 expected) {
    if (m_cancelled)
        return;
    // Without a Content-Length the fraction has no meaning; it stays where it is.
    if (expected > 0)
        m_downloadProgress =
            std::min(1.0, static_cast<double>(received) / static_cast<double>(expected));
    if (m_progress)
        m_progress(*this);
}

void DropboxRequest::finish(const Outcome& outcome) {
    if (m_worker.joinable())
        m_worker.join();
    if (m_cancelled)
        return;
    m_statusCode = outcome.statusCode;
    m_responseHeaders = outcome.headers;
    m_resultData = outcome.body;

    if (outcome.fileError) {
        net::NetworkError error = *outcome.fileError;
        error.userInfo.insert(m_userInfo);
        m_error = error;
    } else if (outcome.result != CURLE_OK) {
        QVariantMap info = m_userInfo;
        info.insert(net::NetworkError::LocalizedDescriptionKey, outcome.connectionError);
        m_error = net::NetworkError{ConnectionErrorDomain, static_cast<int>(outcome.result), info};
    } else if (m_statusCode != 200) {
        QVariantMap info = m_userInfo;
        const QJsonDocument document = QJsonDocument::fromJson(m_resultData);
        if (document.isObject())
            info.insert(document.object().toVariantMap());
        else
            info.insert(ErrorMessageKey, resultString());
        m_error = net::NetworkError{ErrorDomain, m_statusCode, info};
    } else if (!m_resultFilename.isEmpty()) {
        m_downloadProgress = 1.0;
    }

    // The callbacks may release this request; take them out first.
    Callback failure = m_failure;
    Callback completion = m_completion;
    if (m_error && failure)
        failure(*this);
    else if (completion)
        completion(*this);
}

} // namespace vaultora::sync
