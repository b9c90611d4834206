// Brings the local copy of a Dropbox database up to date: asks the service for the file's
// metadata, downloads the file only when the Dropbox copy is strictly newer than the local
// one, and then lets the waiting database panel go on with its login. One object per sync; it
// says `finished` after its last callback, when its owner may release it.
#pragma once

#include "base/DatabaseRecord.h"
#include "sync/dropbox/DropboxClientDelegate.h"
#include "sync/dropbox/DropboxLoginPresenter.h"
#include "sync/dropbox/DropboxSyncServices.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace vaultora::sync {

class DropboxClient;
class DropboxLoginFlow;

class DropboxSync final : public QObject,
                          private DropboxClientDelegate,
                          private DropboxLoginListener {
    Q_OBJECT

public:
    // The full path of a database file name in the documents directory.
    using PathResolver = std::function<QString(const QString& fileName)>;

    // Presents the login screen when the session is not linked.
    DropboxSync(std::shared_ptr<base::DatabaseRecord> record, DropboxSyncServices services,
                PathResolver pathResolver, QObject* parent = nullptr);
    ~DropboxSync() override;

    // The panel that waits to continue with its login; none when the sync was started from
    // the settings. `lifetime` is the panel's object: once it is gone the sync stops calling it.
    void setLoginFlow(DropboxLoginFlow* panel, QObject* lifetime);

    // Metadata, the newer rule, then a download or the login.
    void syncWithDropbox();
    // Loads the Dropbox path into the named file of the documents directory, with a progress
    // panel. Returns true.
    bool downloadFileByName(const QString& path, const QString& destinationFileName);
    // Presents the login screen unless the session is linked or this sync's screen is up.
    void loginDropbox();

    [[nodiscard]] const std::shared_ptr<base::DatabaseRecord>& keePassServerDetail() const {
        return m_record;
    }
    [[nodiscard]] DropboxClient& restClient() const { return *m_restClient; }
    [[nodiscard]] const QDateTime& localFileDate() const { return m_localFileDate; }
    // The login screen this sync presented, while it is up.
    [[nodiscard]] QObject* loginController() const { return m_loginController; }
    // Nothing more is under way: no request, no login screen, no delayed restart.
    [[nodiscard]] bool isIdle() const;

    // "key = value" pairs of an error's information, the way the download error shows them.
    [[nodiscard]] static QString describeUserInfo(const QVariantMap& userInfo);

signals:
    void finished();

private:
    void loadedMetadata(DropboxClient& client, const DropboxMetadata& metadata) override;
    void loadMetadataFailedWithError(DropboxClient& client,
                                     const net::NetworkError& error) override;
    void loadedFile(DropboxClient& client, const QString& destinationPath,
                    const QString& contentType, const QString& eTag) override;
    void loadProgress(DropboxClient& client, double fraction,
                      const QString& destinationPath) override;
    void loadFileFailedWithError(DropboxClient& client, const net::NetworkError& error) override;
    void dropboxLoginDidLink() override;
    void dropboxLoginDidCancel() override;

    [[nodiscard]] DropboxLoginFlow* waitingPanel() const;
    void continueLogin();
    void finishIfIdle();

    std::shared_ptr<base::DatabaseRecord> m_record;
    DropboxSyncServices m_services;
    std::unique_ptr<SyncProgressView> m_view;
    PathResolver m_pathResolver;
    DropboxClient* m_restClient;
    DropboxLoginFlow* m_panel = nullptr;
    QPointer<QObject> m_panelLifetime;
    QDateTime m_localFileDate;
    QPointer<QObject> m_loginController;
    std::unique_ptr<SyncTimer> m_restartTimer;
    int m_requestsUnderWay = 0;
    bool m_restartPending = false;
    bool m_finished = false;
};

} // namespace vaultora::sync
