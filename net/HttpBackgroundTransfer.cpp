#include "net/HttpBackgroundTransfer.h"

#include "net/CurlHandles.h"
#include "net/HttpTransferEngine.h"

#include <QDebug>
#include <QSaveFile>
#include <atomic>

namespace vaultora::net {

// What the worker thread owns while the exchange runs; the transfer object only sets the
// cancel flag and receives posted results.
struct HttpBackgroundTransfer::Transfer {
    BackgroundRequest request;
    HttpBackgroundTransfer* owner = nullptr;
    std::atomic<bool> cancelled = false;

    BackgroundOutcome outcome;
    qint64 expectedLength = -1;
    qint64 received = 0;
    std::unique_ptr<QSaveFile> file;
    char errorText[CURL_ERROR_SIZE] = {};

    void run();
    void beginBody();
    void failFile(const QString& description) {
        outcome.fileFailure = BackgroundOutcome::FileFailure{static_cast<int>(file->error()),
                                                             description, file->errorString()};
    }
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

namespace {

constexpr qsizetype MaximumAnswerLength = qsizetype{16} << 20;

// A transfer that makes no progress for this long has failed.
constexpr long StalledSeconds = 60;
constexpr long ConnectSeconds = 30;

} // namespace

std::size_t HttpBackgroundTransfer::Transfer::onHeader(char* data, std::size_t size,
                                                       std::size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(length)).trimmed();
    if (line.startsWith("HTTP/")) {
        // Each response (an interim 100 included) starts afresh.
        transfer.outcome.headers.clear();
        transfer.outcome.statusCode = line.split(' ').value(1).toInt();
    } else if (line.isEmpty()) {
        if (transfer.outcome.statusCode >= 200)
            transfer.beginBody();
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        const QString name = QString::fromLatin1(line.left(colon).trimmed()).toLower();
        const QString value = QString::fromLatin1(line.mid(colon + 1).trimmed());
        transfer.outcome.headers.insert(name, value);
        if (name == QLatin1String("content-length"))
            transfer.expectedLength = value.toLongLong();
    }
    return transfer.cancelled ? 0 : length;
}

void HttpBackgroundTransfer::Transfer::beginBody() {
    if (request.resultFilename.isEmpty() || outcome.statusCode != 200 || file)
        return;
    file = std::make_unique<QSaveFile>(request.resultFilename);
    if (!file->open(QIODevice::WriteOnly)) {
        qWarning().noquote() << "Error creating file at path:" << request.resultFilename
                             << file->errorString();
        failFile(QStringLiteral("The file could not be created."));
    }
}

std::size_t HttpBackgroundTransfer::Transfer::onBody(char* data, std::size_t size,
                                                     std::size_t count, void* self) {
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t length = size * count;
    if (transfer.cancelled || transfer.outcome.fileFailure)
        return 0;
    if (transfer.file) {
        if (transfer.file->write(data, static_cast<qint64>(length)) !=
            static_cast<qint64>(length)) {
            transfer.failFile(QStringLiteral("The file could not be written."));
            return 0;
        }
        transfer.received += static_cast<qint64>(length);
        const qint64 received = transfer.received;
        const qint64 expected = transfer.expectedLength;
        HttpBackgroundTransfer* owner = transfer.owner;
        QMetaObject::invokeMethod(
            owner,
            [owner, received, expected] {
                if (owner->m_progress)
                    owner->m_progress(received, expected);
            },
            Qt::QueuedConnection);
    } else {
        // An answer kept in memory (a folder listing, an error text) is never this large; a
        // server that sends more is cut off as a failed connection.
        if (transfer.outcome.body.size() + static_cast<qsizetype>(length) > MaximumAnswerLength)
            return 0;
        transfer.outcome.body.append(data, static_cast<qsizetype>(length));
    }
    return length;
}

int HttpBackgroundTransfer::Transfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t,
                                                 curl_off_t) {
    return static_cast<Transfer*>(self)->cancelled ? 1 : 0;
}

void HttpBackgroundTransfer::Transfer::run() {
    CurlEasy easy(curl_easy_init());
    if (!easy) {
        outcome.connectionCode = CURLE_FAILED_INIT;
        outcome.connectionError = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        return;
    }
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, request.url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_SHARE, HttpTransferEngine::share());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, ConnectSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, StalledSeconds);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.certificateAuthorityFile.isEmpty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, request.certificateAuthorityFile.constData());
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    CurlHeaderList headers;
    // A POST's form body is small; waiting for "100 Continue" would only add a round trip.
    bool listed = appendHeaderLine(headers, "Expect:");
    for (const auto& [name, value] : request.headers)
        listed = listed && appendHeaderLine(headers, (name + ": " + value).constData());
    if (!listed) {
        outcome.connectionCode = CURLE_OUT_OF_MEMORY;
        outcome.connectionError = QString::fromUtf8(curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        return;
    }
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    if (request.method == "POST") {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(handle, CURLOPT_COPYPOSTFIELDS, request.body.constData());
    } else {
        curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode result = curl_easy_perform(handle);
    outcome.connectionCode = static_cast<int>(result);
    if (result != CURLE_OK && !outcome.fileFailure) {
        outcome.connectionError =
            QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(result));
        // An unfinished temporary file is discarded with its QSaveFile.
        return;
    }
    if (outcome.fileFailure || cancelled)
        return;
    if (outcome.statusCode == 200 && !request.resultFilename.isEmpty()) {
        beginBody();
        if (outcome.fileFailure)
            return;
        if (!file->commit()) {
            qWarning().noquote() << "Error moving temp file to desired location:"
                                 << request.resultFilename << file->errorString();
            failFile(QStringLiteral("The file could not be moved into place."));
        }
    }
}

HttpBackgroundTransfer::HttpBackgroundTransfer(QObject* parent) : QObject(parent) {}

HttpBackgroundTransfer::~HttpBackgroundTransfer() {
    if (m_transfer)
        m_transfer->cancelled = true;
    // The worker posts to this object; once it has ended, nothing more can arrive.
    if (m_worker.joinable())
        m_worker.join();
}

void HttpBackgroundTransfer::start(BackgroundRequest request, Progress progress,
                                   Completion completion) {
    if (m_transfer)
        return;
    m_progress = std::move(progress);
    m_completion = std::move(completion);
    m_transfer = std::make_shared<Transfer>();
    m_transfer->request = std::move(request);
    m_transfer->owner = this;
    std::shared_ptr<Transfer> transfer = m_transfer;
    m_worker = std::thread([transfer] {
        transfer->run();
        // The file is committed or discarded before the owner hears of the end.
        transfer->file.reset();
        HttpBackgroundTransfer* owner = transfer->owner;
        QMetaObject::invokeMethod(
            owner, [owner, transfer] { owner->finish(transfer->outcome); }, Qt::QueuedConnection);
    });
}

void HttpBackgroundTransfer::cancel() {
    m_progress = {};
    m_completion = {};
    if (m_transfer)
        m_transfer->cancelled = true;
}

void HttpBackgroundTransfer::finish(const BackgroundOutcome& outcome) {
    if (m_worker.joinable())
        m_worker.join();
    // The completion may release this transfer; take it out first.
    Completion completion = m_completion;
    if (completion)
        completion(outcome);
}

} // namespace vaultora::net
