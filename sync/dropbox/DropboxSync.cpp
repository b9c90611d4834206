#include "sync/dropbox/DropboxSync.h"

#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxLoginFlow.h"
#include "sync/dropbox/DropboxSession.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QStringList>

namespace vaultora::sync {

using namespace std::chrono_literals;

DropboxSync::DropboxSync(std::shared_ptr<base::DatabaseRecord> record, DropboxSyncServices services,
                         PathResolver pathResolver, QObject* parent)
    : QObject(parent), m_record(std::move(record)), m_services(std::move(services)),
      m_view(m_services.progressViews()), m_pathResolver(std::move(pathResolver)),
      m_restClient(new DropboxClient(*m_services.session, this)) {
    loginDropbox();
    m_restClient->setDelegate(this);
}

DropboxSync::~DropboxSync() {
    m_restClient->setDelegate(nullptr);
    if (QObject* login = m_loginController.data())
        m_services.logins->forgetListener(*login, *this);
}

void DropboxSync::setLoginFlow(DropboxLoginFlow* panel, QObject* lifetime) {
    m_panel = panel;
    m_panelLifetime = lifetime;
}

DropboxLoginFlow* DropboxSync::waitingPanel() const {
    if (m_panel && m_panelLifetime.isNull())
        return nullptr;
    return m_panel;
}

bool DropboxSync::isIdle() const {
    return m_requestsUnderWay == 0 && m_loginController.isNull() && !m_restartPending;
}

void DropboxSync::finishIfIdle() {
    if (!m_finished && isIdle()) {
        m_finished = true;
        emit finished();
    }
}

void DropboxSync::loginDropbox() {
    // Both the start and the sync ask for the login; one screen is enough.
    if (m_services.session->isLinked() || m_loginController)
        return;
    m_loginController = m_services.logins->presentLogin(*this);
}

void DropboxSync::syncWithDropbox() {
    loginDropbox();
    const QFileInfo local(m_pathResolver(m_record->databaseName()));
    m_localFileDate = local.exists() ? local.lastModified() : QDateTime();
    m_view->showBusy(QStringLiteral("DropBox syncing"));
    ++m_requestsUnderWay;
    m_restClient->loadMetadata(m_record->serverUrl());
}

void DropboxSync::continueLogin() {
    if (DropboxLoginFlow* panel = waitingPanel())
        panel->loginOrShowPasswordDialog();
}

void DropboxSync::loadedMetadata(DropboxClient&, const DropboxMetadata& metadata) {
    --m_requestsUnderWay;
    m_view->hideBusy();
    // Only a strictly newer Dropbox copy replaces an existing local file. A missing local file
    // is not fetched here: saving the record in the settings downloads it.
    const bool newer = m_localFileDate.isValid() && metadata.lastModifiedDate().isValid() &&
                       m_localFileDate < metadata.lastModifiedDate();
    if (newer)
        downloadFileByName(m_record->serverUrl(), m_record->databaseName());
    else
        continueLogin();
    finishIfIdle();
}

void DropboxSync::loadMetadataFailedWithError(DropboxClient&, const net::NetworkError&) {
    --m_requestsUnderWay;
    m_view->hideBusy();
    m_view->showError(QStringLiteral("DropBox download error"),
                      QStringLiteral("Failed loading meta data"), 2.5);
    continueLogin();
    finishIfIdle();
}

bool DropboxSync::downloadFileByName(const QString& path, const QString& destinationFileName) {
    const QString localPath = m_pathResolver(destinationFileName);
    m_view->showProgress(QStringLiteral("Syncing with DropBox"), 5.0);
    ++m_requestsUnderWay;
    m_restClient->loadFile(path, localPath);
    return true;
}

void DropboxSync::loadProgress(DropboxClient&, double fraction, const QString&) {
    m_view->setProgress(fraction, SyncProgressView::Motion::Immediate);
}

void DropboxSync::loadedFile(DropboxClient&, const QString&, const QString&, const QString&) {
    --m_requestsUnderWay;
    if (DropboxLoginFlow* panel = waitingPanel()) {
        m_view->hideBusy();
        m_view->showInformation(QStringLiteral("Downloaded a new version from DropBox"), QString(),
                                1.0);
        panel->loginOrShowPasswordDialog();
    }
    m_view->finishProgress(0.5);
    finishIfIdle();
}

void DropboxSync::loadFileFailedWithError(DropboxClient&, const net::NetworkError& error) {
    --m_requestsUnderWay;
    m_view->hideBusy();
    m_view->hideProgress();
    m_view->showError(QStringLiteral("DropBox download error"), describeUserInfo(error.userInfo),
                      2.5);
    finishIfIdle();
}

void DropboxSync::dropboxLoginDidLink() {
    m_loginController.clear();
    if (waitingPanel()) {
        m_restartPending = true;
        m_restartTimer = m_services.timers();
        m_restartTimer->start(1000ms, [this] {
            m_restartPending = false;
            if (DropboxLoginFlow* panel = waitingPanel())
                panel->syncDatabaseFileAndOpen();
            finishIfIdle();
        });
    }
    finishIfIdle();
}

void DropboxSync::dropboxLoginDidCancel() {
    m_loginController.clear();
    m_view->showError(QStringLiteral("DropBox login canceled by user"), QString(), 1.5);
    finishIfIdle();
}

QString DropboxSync::describeUserInfo(const QVariantMap& userInfo) {
    QStringList pairs;
    for (auto entry = userInfo.constBegin(); entry != userInfo.constEnd(); ++entry) {
        const QVariant& value = entry.value();
        QString text;
        if (value.typeId() == QMetaType::QVariantMap || value.typeId() == QMetaType::QVariantList)
            text =
                QString::fromUtf8(QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact));
        else
            text = value.toString();
        pairs.append(entry.key() + QStringLiteral(" = ") + text);
    }
    return pairs.join(QStringLiteral("; "));
}

} // namespace vaultora::sync
