#include "sync/dropbox/DropboxRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vaultora::sync {

DropboxRequest::DropboxRequest(net::OAuthSignedRequest request, QString certificateAuthorityFile,
                               Callback completion, QObject* parent)
    : QObject(parent), m_request(std::move(request)),
      m_certificateAuthorityFile(std::move(certificateAuthorityFile)),
      m_completion(std::move(completion)) {}

DropboxRequest::~DropboxRequest() = default;

void DropboxRequest::start() {
    if (m_started)
        return;
    m_started = true;
    net::BackgroundRequest transfer;
    transfer.method = m_request.method;
    transfer.url = m_request.url;
    transfer.headers = m_request.headers;
    transfer.body = m_request.body;
    transfer.certificateAuthorityFile = m_certificateAuthorityFile.toLocal8Bit();
    transfer.resultFilename = m_resultFilename;
    m_transfer.start(
        std::move(transfer),
        [this](qint64 received, qint64 expected) { receiveProgress(received, expected); },
        [this](const net::BackgroundOutcome& outcome) { finish(outcome); });
}

void DropboxRequest::cancel() {
    m_cancelled = true;
    m_completion = {};
    m_failure = {};
    m_progress = {};
    m_transfer.cancel();
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

void DropboxRequest::finish(const net::BackgroundOutcome& outcome) {
    if (m_cancelled)
        return;
    m_statusCode = outcome.statusCode;
    m_responseHeaders = outcome.headers;
    m_resultData = outcome.body;

    if (const auto& failure = outcome.fileFailure) {
        QVariantMap info = {{net::NetworkError::LocalizedDescriptionKey, failure->description},
                            {net::NetworkError::UnderlyingErrorKey, failure->reason}};
        info.insert(m_userInfo);
        m_error = net::NetworkError{FileErrorDomain, failure->code, info};
    } else if (outcome.connectionCode != 0) {
        QVariantMap info = m_userInfo;
        info.insert(net::NetworkError::LocalizedDescriptionKey, outcome.connectionError);
        m_error = net::NetworkError{ConnectionErrorDomain, outcome.connectionCode, info};
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
