#include "crash/CrashReportUpload.h"

#include "net/HttpRequest.h"

#include <QMetaObject>

#include <system_error>

namespace vaultora::crash {

namespace {

// The collection service answers with a short XML list; anything longer is not its answer.
constexpr qsizetype maximumAnswerLength = 1024 * 1024;

} // namespace

CrashReportUpload::CrashReportUpload(QObject* parent) : QObject(parent) {
    qRegisterMetaType<crash::CrashReportUpload::Result>();
}

CrashReportUpload::~CrashReportUpload() {
    if (m_request) {
        m_request->cancel();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CrashReportUpload::start(Request request) {
    const QString scheme = request.url.scheme();
    if (m_request || !request.url.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        return false;
    }
    auto upload = std::make_unique<net::HttpRequest>(request.url);
    upload->setRequestMethod(QStringLiteral("POST"));
    upload->setPostBody(std::move(request.body));
    upload->addRequestHeader(QStringLiteral("Content-type"),
                             QString::fromLatin1(request.contentType));
    upload->addRequestHeader(QStringLiteral("User-Agent"), QString::fromLatin1(request.userAgent));
    upload->addRequestHeader(QStringLiteral("Accept-Encoding"),
                             QString::fromLatin1(request.acceptEncoding));
    // The time-out is one of inactivity: connecting, or a stalled transfer.
    upload->setTimeOutSeconds(request.timeoutSeconds);
    // A crash report carries no login: no stored credentials and no cookies go with it.
    upload->setUseSessionPersistence(false);
    upload->setMaximumResponseLength(maximumAnswerLength);
    m_request = std::move(upload);
    try {
        m_thread = std::thread([this] {
            m_request->startSynchronous();
            QMetaObject::invokeMethod(this, &CrashReportUpload::finish, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_request.reset();
        return false;
    }
    return true;
}

void CrashReportUpload::finish() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    Result result;
    if (const auto& error = m_request->error()) {
        result.error = error->localizedDescription();
        if (const QString underlying = error->underlyingError(); !underlying.isEmpty()) {
            result.error += QStringLiteral(": ") + underlying;
        }
    } else {
        result.answered = true;
        result.statusCode = m_request->responseStatusCode();
        result.body = m_request->responseData();
    }
    emit finished(result);
}

} // namespace vaultora::crash
