// The routes of this build: HTTP downloads through the HTTP download sync, the network's
// reachability from the system, and Dropbox as an attachment point that says it is not
// available yet.
#pragma once

#include "ui/DatabaseSources.h"

namespace toolkit {
class TransientPanelHost;
}

class ZTAppDelegate;

class ApplicationDatabaseSources final : public DatabaseSources {
public:
    ApplicationDatabaseSources(ZTAppDelegate& delegate, toolkit::TransientPanelHost& panels)
        : m_delegate(delegate), m_panels(panels) {}

    [[nodiscard]] bool downloadFromURL(const QString& url, const QString& fileName) override;
    [[nodiscard]] bool isInternetReachable() const override;
    void syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                         DatabaseViewController& panel) override;

private:
    ZTAppDelegate& m_delegate;
    toolkit::TransientPanelHost& m_panels;
};
