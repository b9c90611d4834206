// The calls the system makes to the service: log in, list a folder, load a file, create an
// account. Each call returns at once; its answer comes to the delegate on the main thread.
// Requests are signed with the session's credentials at the moment they are made.
#pragma once

#include "net/OAuthSigner.h"
#include "sync/dropbox/DropboxMetadata.h"
#include "sync/dropbox/DropboxRequest.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <thread>
#include <vector>

namespace vaultora::sync {

class DropboxClientDelegate;
class DropboxSession;

class DropboxClient final : public QObject {
    Q_OBJECT

public:
    // The session must outlive the client.
    explicit DropboxClient(DropboxSession& session, QObject* parent = nullptr);
    ~DropboxClient() override;

    // Not owned.
    void setDelegate(DropboxClientDelegate* delegate) { m_delegate = delegate; }
    [[nodiscard]] DropboxClientDelegate* delegate() const { return m_delegate; }
    // Timestamps and nonces of the signatures; tests give fixed ones.
    void setSigner(net::OAuthSigner signer) { m_signer = std::move(signer); }

    void loginWithEmail(const QString& email, const QString& password);
    void loadMetadata(const QString& path);
    // With a hash of an earlier answer the service may answer "unchanged" (status 304).
    void loadMetadata(const QString& path, const QString& hash);
    void loadFile(const QString& path, const QString& destinationPath);
    // Stops the running load of the remote path; its delegate hears nothing more of it.
    void cancelFileLoad(const QString& path);
    void createAccount(const QString& email, const QString& password, const QString& firstName,
                       const QString& lastName);

    // "%protocol://%host/0%escaped-path", signed with the session's store.
    [[nodiscard]] net::OAuthSignedRequest
    requestWithProtocol(const QString& protocol, const QString& host, const QString& path,
                        const net::OAuthParameters& parameters, const QString& method = {}) const;

    [[nodiscard]] const QString& root() const { return m_root; }
    [[nodiscard]] int runningRequestCount() const { return static_cast<int>(m_requests.size()); }

private:
    DropboxRequest* send(net::OAuthSignedRequest request, DropboxRequest::Callback completion);
    void release(DropboxRequest& request);
    void reportAuthorizationFailure(const net::NetworkError& error);

    void requestDidLogin(DropboxRequest& request);
    void requestDidLoadMetadata(DropboxRequest& request);
    void parsedMetadata(std::size_t job, const std::optional<DropboxMetadata>& metadata,
                        const net::NetworkError& malformed);
    void requestDidLoadFile(DropboxRequest& request);
    void requestDidCreateAccount(DropboxRequest& request);

    DropboxSession& m_session;
    QString m_root = QStringLiteral("dropbox");
    net::OAuthSigner m_signer;
    DropboxClientDelegate* m_delegate = nullptr;
    std::vector<std::unique_ptr<DropboxRequest>> m_requests;
    QHash<QString, DropboxRequest*> m_loadRequests;
    // Folder listings being parsed off the main thread, by job number.
    std::vector<std::pair<std::size_t, std::thread>> m_parsers;
    std::size_t m_nextParser = 0;
};

} // namespace vaultora::sync
