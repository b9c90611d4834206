#include "sync/dropbox/DropboxClient.h"

#include "sync/dropbox/DropboxClientDelegate.h"
#include "sync/dropbox/DropboxMetadata.h"
#include "sync/dropbox/DropboxSession.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace vaultora::sync {
namespace {

const QString Https = QStringLiteral("https");
const QString Http = QStringLiteral("http");
const QString RootKey = QStringLiteral("root");
const QString PathKey = QStringLiteral("path");
const QString DestinationPathKey = QStringLiteral("destinationPath");

// An answer of status 200 that does not say what it should is still a failure.
net::NetworkError malformedAnswer(const DropboxRequest& request, const QString& message) {
    QVariantMap info = request.userInfo();
    info.insert(QStringLiteral("error"), message);
    info.insert(DropboxRequest::ErrorMessageKey, request.resultString());
    return net::NetworkError{DropboxRequest::ErrorDomain, request.statusCode(), info};
}

} // namespace

DropboxClient::DropboxClient(DropboxSession& session, QObject* parent)
    : QObject(parent), m_session(session) {}

DropboxClient::~DropboxClient() {
    for (auto& [job, parser] : m_parsers)
        parser.join();
    // Running requests stop with the client; none of them calls back any more.
    for (const std::unique_ptr<DropboxRequest>& request : m_requests)
        request->cancel();
}

net::OAuthSignedRequest DropboxClient::requestWithProtocol(const QString& protocol,
                                                           const QString& host, const QString& path,
                                                           const net::OAuthParameters& parameters,
                                                           const QString& method) const {
    const QString url =
        QStringLiteral("%1://%2/%3%4")
            .arg(protocol, host, QStringLiteral("0"), net::OAuthSigner::escapePath(path));
    return m_signer.signRequest(m_session.credentialStore(),
                                method.isEmpty() ? QStringLiteral("GET") : method, url, parameters);
}

DropboxRequest* DropboxClient::send(net::OAuthSignedRequest signedRequest,
                                    DropboxRequest::Callback completion) {
    auto request = std::make_unique<DropboxRequest>(
        std::move(signedRequest), m_session.configuration().certificateAuthorityFile,
        std::move(completion));
    DropboxRequest* pointer = request.get();
    m_requests.push_back(std::move(request));
    return pointer;
}

void DropboxClient::release(DropboxRequest& request) {
    const auto found =
        std::find_if(m_requests.begin(), m_requests.end(),
                     [&request](const auto& held) { return held.get() == &request; });
    if (found == m_requests.end())
        return;
    // The request may still be inside its own callback; it goes once that has returned.
    found->release()->deleteLater();
    m_requests.erase(found);
}

void DropboxClient::reportAuthorizationFailure(const net::NetworkError& error) {
    if (error.domain == DropboxRequest::ErrorDomain && error.code == 401 && m_session.delegate())
        m_session.delegate()->sessionDidReceiveAuthorizationFailure(m_session);
}

void DropboxClient::loginWithEmail(const QString& email, const QString& password) {
    DropboxRequest* request =
        send(requestWithProtocol(
                 Https, m_session.configuration().apiHost, QStringLiteral("/token"),
                 {{QStringLiteral("email"), email}, {QStringLiteral("password"), password}}),
             [this](DropboxRequest& done) { requestDidLogin(done); });
    request->setFailureCallback([this](DropboxRequest& done) {
        const net::NetworkError error = *done.error();
        release(done);
        if (m_delegate)
            m_delegate->loginFailedWithError(*this, error);
    });
    request->start();
}

void DropboxClient::requestDidLogin(DropboxRequest& request) {
    const QJsonObject answer = QJsonDocument::fromJson(request.resultData()).object();
    const QString token = answer.value(QStringLiteral("token")).toString();
    const QString secret = answer.value(QStringLiteral("secret")).toString();
    if (token.isEmpty() || secret.isEmpty()) {
        const net::NetworkError error =
            malformedAnswer(request, QStringLiteral("The service sent no access token."));
        release(request);
        if (m_delegate)
            m_delegate->loginFailedWithError(*this, error);
        return;
    }
    release(request);
    m_session.updateAccessToken(token, secret);
    if (m_delegate)
        m_delegate->restClientDidLogin(*this);
}

void DropboxClient::loadMetadata(const QString& path) {
    loadMetadata(path, {});
}

void DropboxClient::loadMetadata(const QString& path, const QString& hash) {
    net::OAuthParameters parameters;
    if (!hash.isEmpty())
        parameters.append({QStringLiteral("hash"), hash});
    DropboxRequest* request =
        send(requestWithProtocol(Http, m_session.configuration().apiHost,
                                 QStringLiteral("/metadata/%1%2").arg(m_root, path), parameters),
             [this](DropboxRequest& done) { requestDidLoadMetadata(done); });
    request->setUserInfo({{RootKey, m_root}, {PathKey, path}});
    request->setFailureCallback([this](DropboxRequest& done) {
        const net::NetworkError error = *done.error();
        const QString failedPath = done.userInfo().value(PathKey).toString();
        release(done);
        reportAuthorizationFailure(error);
        if (!m_delegate)
            return;
        if (error.domain == DropboxRequest::ErrorDomain && error.code == 304)
            m_delegate->metadataUnchangedAtPath(*this, failedPath);
        else
            m_delegate->loadMetadataFailedWithError(*this, error);
    });
    request->start();
}

void DropboxClient::requestDidLoadMetadata(DropboxRequest& request) {
    const QByteArray body = request.resultData();
    const net::NetworkError malformed =
        malformedAnswer(request, QStringLiteral("The listing is not a JSON object."));
    release(request);

    // Large folders take a while to parse; the main loop goes on meanwhile.
    const std::size_t job = m_nextParser++;
    m_parsers.emplace_back(
        job, std::thread([this, job, body, malformed] {
            std::optional<DropboxMetadata> metadata;
            const QJsonDocument document = QJsonDocument::fromJson(body);
            if (document.isObject())
                metadata.emplace(document.object());
            QMetaObject::invokeMethod(
                this,
                [this, job, metadata, malformed] { parsedMetadata(job, metadata, malformed); },
                Qt::QueuedConnection);
        }));
}

void DropboxClient::parsedMetadata(std::size_t job, const std::optional<DropboxMetadata>& metadata,
                                   const net::NetworkError& malformed) {
    const auto parser = std::find_if(m_parsers.begin(), m_parsers.end(),
                                     [job](const auto& entry) { return entry.first == job; });
    if (parser != m_parsers.end()) {
        parser->second.join();
        m_parsers.erase(parser);
    }
    if (!m_delegate)
        return;
    if (metadata)
        m_delegate->loadedMetadata(*this, *metadata);
    else
        m_delegate->loadMetadataFailedWithError(*this, malformed);
}

void DropboxClient::loadFile(const QString& path, const QString& destinationPath) {
    DropboxRequest* request =
        send(requestWithProtocol(Https, m_session.configuration().contentHost,
                                 QStringLiteral("/files/%1%2").arg(m_root, path), {}),
             [this](DropboxRequest& done) { requestDidLoadFile(done); });
    request->setResultFilename(destinationPath);
    request->setUserInfo(
        {{RootKey, m_root}, {PathKey, path}, {DestinationPathKey, destinationPath}});
    request->setDownloadProgressCallback([this](DropboxRequest& running) {
        if (m_delegate)
            m_delegate->loadProgress(*this, running.downloadProgress(), running.resultFilename());
    });
    request->setFailureCallback([this, path](DropboxRequest& done) {
        const net::NetworkError error = *done.error();
        if (m_loadRequests.value(path) == &done)
            m_loadRequests.remove(path);
        release(done);
        reportAuthorizationFailure(error);
        if (m_delegate)
            m_delegate->loadFileFailedWithError(*this, error);
    });
    m_loadRequests.insert(path, request);
    request->start();
}

void DropboxClient::requestDidLoadFile(DropboxRequest& request) {
    const QString path = request.userInfo().value(PathKey).toString();
    const QString destination = request.resultFilename();
    const QString contentType = request.responseHeader(QStringLiteral("Content-Type"));
    const QString eTag = request.responseHeader(QStringLiteral("Etag"));
    if (m_loadRequests.value(path) == &request)
        m_loadRequests.remove(path);
    release(request);
    if (m_delegate)
        m_delegate->loadedFile(*this, destination, contentType, eTag);
}

void DropboxClient::cancelFileLoad(const QString& path) {
    DropboxRequest* request = m_loadRequests.take(path);
    if (!request)
        return;
    request->cancel();
    release(*request);
}

void DropboxClient::createAccount(const QString& email, const QString& password,
                                  const QString& firstName, const QString& lastName) {
    DropboxRequest* request = send(requestWithProtocol(Https, m_session.configuration().apiHost,
                                                       QStringLiteral("/account"),
                                                       {{QStringLiteral("email"), email},
                                                        {QStringLiteral("password"), password},
                                                        {QStringLiteral("first_name"), firstName},
                                                        {QStringLiteral("last_name"), lastName}},
                                                       QStringLiteral("POST")),
                                   [this](DropboxRequest& done) { requestDidCreateAccount(done); });
    request->setFailureCallback([this](DropboxRequest& done) {
        const net::NetworkError error = *done.error();
        release(done);
        if (m_delegate)
            m_delegate->createAccountFailedWithError(*this, error);
    });
    request->start();
}

void DropboxClient::requestDidCreateAccount(DropboxRequest& request) {
    release(request);
    if (m_delegate)
        m_delegate->restClientCreatedAccount(*this);
}

} // namespace vaultora::sync
