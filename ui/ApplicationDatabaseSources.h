// The routes of this build: HTTP downloads through the HTTP download sync, the network's
// reachability from the system, and Dropbox through the sync runner once the launch has
// created the Dropbox session.
#pragma once

#include "ui/DatabaseSources.h"

namespace vaultora::toolkit {
class TransientPanelHost;
}

namespace vaultora::app {
class ApplicationController;
} // namespace vaultora::app

namespace vaultora::sync {
class DropboxSyncRunner;
} // namespace vaultora::sync

namespace vaultora::ui {

class ApplicationDatabaseSources final : public DatabaseSources {
public:
    ApplicationDatabaseSources(app::ApplicationController& delegate,
                               toolkit::TransientPanelHost& panels)
        : m_delegate(delegate), m_panels(panels) {}

    [[nodiscard]] bool downloadFromURL(const QString& url, const QString& fileName) override;
    [[nodiscard]] bool isInternetReachable() const override;
    void syncWithDropbox(const std::shared_ptr<base::DatabaseRecord>& record,
                         DatabaseOpenFlow& flow) override;

    // Not owned; without it Dropbox records open their local copy.
    void setDropbox(vaultora::sync::DropboxSyncRunner* dropbox) { m_dropBox = dropbox; }

private:
    app::ApplicationController& m_delegate;
    vaultora::sync::DropboxSyncRunner* m_dropBox = nullptr;
    toolkit::TransientPanelHost& m_panels;
};

} // namespace vaultora::ui
