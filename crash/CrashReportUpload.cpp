#include "crash/CrashReportUpload.h"

#include <curl/curl.h>

#include <QMetaObject>

#include <memory>
#include <mutex>
#include <system_error>

namespace vaultora::crash {

namespace {

constexpr qsizetype maximumAnswerLength = 1024 * 1024;

struct EasyHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;

struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    QByteArray answer;
    const std::atomic<bool>* cancelled = nullptr;
};

size_t appendAnswer(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const size_t length = size * count;
    if (transfer->answer.size() + static_cast<qsizetype>(length) > maximumAnswerLength) {
        return 0;
    }
    transfer->answer.append(data, static_cast<qsizetype>(length));
    return length;
}

int checkCancelled(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(context)->cancelled->load() ? 1 : 0;
}

bool addHeader(HeaderList& list, const QByteArray& line) {
    curl_slist* extended = curl_slist_append(list.get(), line.constData());
    if (extended == nullptr) {
        return false;
    }
    (void)list.release();
    list.reset(extended);
    return true;
}

CrashReportUpload::Result perform(CURL* handle, const CrashReportUpload::Request& request,
                                  const std::atomic<bool>& cancelled) {
    CrashReportUpload::Result result;
    HeaderList headers;
    // Without an empty "Expect:" libcurl may hold a large body back for a 100 response.
    if (!addHeader(headers, "Content-type: " + request.contentType) ||
        !addHeader(headers, QByteArrayLiteral("Expect:"))) {
        result.error = QStringLiteral("out of memory");
        return result;
    }
    Transfer transfer;
    transfer.cancelled = &cancelled;
    const QByteArray url = request.url.toEncoded();
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_POST, 1L);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, request.userAgent.constData());
    // Sends the Accept-Encoding field and decodes a compressed answer.
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, request.acceptEncoding.constData());
    // The time-out is one of inactivity: connecting, or a stalled transfer.
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(request.timeoutSeconds));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &appendAnswer);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &checkCancelled);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK) {
        result.error = QString::fromUtf8(curl_easy_strerror(code));
        return result;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    result.answered = true;
    result.statusCode = status;
    result.body = std::move(transfer.answer);
    return result;
}

} // namespace

CrashReportUpload::CrashReportUpload(QObject* parent) : QObject(parent) {
    qRegisterMetaType<crash::CrashReportUpload::Result>();
}

CrashReportUpload::~CrashReportUpload() {
    m_cancelled = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CrashReportUpload::start(Request request) {
    const QString scheme = request.url.scheme();
    if (m_thread.joinable() || !request.url.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return false;
    }
    initialiseLibraryOnce();
    EasyHandle handle(curl_easy_init());
    if (!handle) {
        return false;
    }
    try {
        m_thread = std::thread([this, handle = std::move(handle), request = std::move(request)] {
            Result result = perform(handle.get(), request, m_cancelled);
            QMetaObject::invokeMethod(
                this,
                [this, result = std::move(result)] {
                    if (m_thread.joinable()) {
                        m_thread.join();
                    }
                    emit finished(result);
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

} // namespace vaultora::crash
