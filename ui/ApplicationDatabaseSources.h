// The routes of this build: HTTP downloads through the HTTP download sync, the network's
// reachability from the system, and Dropbox through the sync runner once the launch has
// created the Dropbox session.
#pragma once

#include "ui/DatabaseSources.h"

namespace toolkit {
class TransientPanelHost;
}

class ZTAppDelegate;

namespace vaultora::sync {
class ZTDropBoxSyncRunner;
}

class ApplicationDatabaseSources final : public DatabaseSources {
public:
    ApplicationDatabaseSources(ZTAppDelegate& delegate, toolkit::TransientPanelHost& panels)
        : m_delegate(delegate), m_panels(panels) {}

    [[nodiscard]] bool downloadFromURL(const QString& url, const QString& fileName) override;
    [[nodiscard]] bool isInternetReachable() const override;
    void syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                         DatabaseViewController& panel) override;

    // Not owned; without it Dropbox records open their local copy.
    void setDropBox(vaultora::sync::ZTDropBoxSyncRunner* dropBox) { m_dropBox = dropBox; }

private:
    ZTAppDelegate& m_delegate;
    vaultora::sync::ZTDropBoxSyncRunner* m_dropBox = nullptr;
    toolkit::TransientPanelHost& m_panels;
};
