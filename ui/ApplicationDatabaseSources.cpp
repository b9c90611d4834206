#include "ui/ApplicationDatabaseSources.h"

#include "app/ApplicationController.h"
#include "net/Reachability.h"
#include "sync/HttpDownloadSync.h"
#include "sync/dropbox/DropboxSyncRunner.h"
#include "ui/DatabaseOpenFlow.h"
#include "ui/DropboxScreenAdapters.h"
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

void ApplicationDatabaseSources::syncWithDropbox(
    const std::shared_ptr<base::DatabaseRecord>& record, DatabaseOpenFlow& flow) {
    if (m_dropBox) {
        auto* adapter = new DropboxPanelFlow(flow);
        m_dropBox->syncWithDropbox(record, *adapter, adapter);
        return;
    }
    // Without a Dropbox session the user is told, and the copy already on the device (if any)
    // is opened as when offline.
    m_panels.showError(QStringLiteral("Dropbox is not available in this version."),
                       QStringLiteral("The copy on this device is used."), 2.0);
    QPointer<DatabaseOpenFlow> guarded(&flow);
    QTimer::singleShot(0, &flow, [guarded] {
        if (guarded) {
            guarded->openLocalCopy();
        }
    });
}

} // namespace vaultora::ui
