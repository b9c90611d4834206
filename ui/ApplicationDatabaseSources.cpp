#include "ui/ApplicationDatabaseSources.h"

#include "app/ZTAppDelegate.h"
#include "sync/Reachability.h"
#include "sync/ZTHttpDownloadSync.h"
#include "sync/dropbox/ZTDropBoxSyncRunner.h"
#include "ui/DatabaseViewController.h"
#include "ui/DropBoxScreenAdapters.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QPointer>
#include <QTimer>

bool ApplicationDatabaseSources::downloadFromURL(const QString& url, const QString& fileName) {
    vaultora::sync::ZTHttpDownloadSync download(m_panels, [this](const QString& name) {
        return m_delegate.getDocumentBaseDirectoryForFileName(name);
    });
    return download.downloadFromURL(url, fileName);
}

bool ApplicationDatabaseSources::isInternetReachable() const {
    return vaultora::sync::Reachability::reachabilityForInternetConnection()
               .currentReachabilityStatus() != vaultora::sync::Reachability::NotReachable;
}

void ApplicationDatabaseSources::syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                                                 DatabaseViewController& panel) {
    if (m_dropBox) {
        auto* flow = new DropBoxPanelFlow(panel);
        m_dropBox->syncWithDropBox(record, *flow, flow);
        return;
    }
    // Without a Dropbox session the user is told, and the copy already on the device (if any)
    // is opened as when offline.
    m_panels.showError(QStringLiteral("Dropbox is not available in this version."),
                       QStringLiteral("The copy on this device is used."), 2.0);
    QPointer<DatabaseViewController> guarded(&panel);
    QTimer::singleShot(0, &panel, [guarded] {
        if (guarded) {
            guarded->loginOrShowPasswordDialog();
        }
    });
}
