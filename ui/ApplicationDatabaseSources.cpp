#include "ui/ApplicationDatabaseSources.h"

#include "app/ApplicationController.h"
#include "net/Reachability.h"
#include "sync/HttpDownloadSync.h"
#include "sync/dropbox/DropboxSyncRunner.h"
#include "ui/DropboxScreenAdapters.h"
#include "ui/GroupBrowser.h"
#include "ui/SyncProgressPanels.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QPointer>
#include <QTimer>

namespace vaultora::ui {

bool ApplicationDatabaseSources::downloadFromURL(const QString& url, const QString& fileName) {
    SyncProgressPanels view(m_panels);
    vaultora::sync::HttpDownloadSync download(view, [this](const QString& name) {
        return m_delegate.getDocumentBaseDirectoryForFileName(name);
    });
    return download.downloadFromURL(url, fileName);
}

bool ApplicationDatabaseSources::isInternetReachable() const {
    return vaultora::net::Reachability::reachabilityForInternetConnection()
               .currentReachabilityStatus() != vaultora::net::Reachability::NotReachable;
}

void ApplicationDatabaseSources::syncWithDropBox(
    const std::shared_ptr<base::DatabaseRecord>& record, GroupBrowser& panel) {
    if (m_dropBox) {
        auto* flow = new DropboxPanelFlow(panel);
        m_dropBox->syncWithDropBox(record, *flow, flow);
        return;
    }
    // Without a Dropbox session the user is told, and the copy already on the device (if any)
    // is opened as when offline.
    m_panels.showError(QStringLiteral("Dropbox is not available in this version."),
                       QStringLiteral("The copy on this device is used."), 2.0);
    QPointer<GroupBrowser> guarded(&panel);
    QTimer::singleShot(0, &panel, [guarded] {
        if (guarded) {
            guarded->loginOrShowPasswordDialog();
        }
    });
}

} // namespace vaultora::ui
