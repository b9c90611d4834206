#include "ui/ApplicationDetailsSubScreens.h"

#include "app/ZTAppDelegate.h"
#include "sync/DBSession.h"
#include "sync/dropbox/DropBoxSettingsDabasesViewController.h"
#include "sync/dropbox/ZTDropBoxSyncRunner.h"
#include "ui/DropBoxScreenAdapters.h"
#include "ui/HttpServerDetailsRoot.h"
#include "ui/toolkit/Panel.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "webserver/HttpServerDatabaseSettingsViewController.h"

namespace {

constexpr double notAvailableSeconds = 2.5;

} // namespace

std::unique_ptr<toolkit::Panel>
ApplicationDetailsSubScreens::createUploadScreen(const std::shared_ptr<KeePassServerDetail>& record,
                                                 SettingsDatabaseDetailsViewController& rootView) {
    auto screen = std::make_unique<web::HttpServerDatabaseSettingsViewController>(
        m_services.delegate->documentsDirectory(), m_services.transientPanels);
    screen->setKeePassServerDetail(record);
    screen->setRootView(&HttpServerDetailsRoot::of(rootView));
    screen->createDialog();
    return screen;
}

std::unique_ptr<toolkit::Panel> ApplicationDetailsSubScreens::createDropboxPicker(
    const QString& directory, const std::shared_ptr<KeePassServerDetail>& record,
    SettingsDatabaseDetailsViewController& rootView) {
    if (m_services.dropBox != nullptr) {
        return std::make_unique<vaultora::sync::DropBoxSettingsDabasesViewController>(
            directory, DropBoxDetailsRoot::of(rootView), record, m_services.dropBox->services());
    }
    showNotAvailable(QStringLiteral("Dropbox"));
    return {};
}

void ApplicationDetailsSubScreens::downloadDropboxFile(
    const std::shared_ptr<KeePassServerDetail>& record) {
    if (m_services.dropBox != nullptr) {
        m_services.dropBox->download(record);
        return;
    }
    showNotAvailable(QStringLiteral("Dropbox"));
}

void ApplicationDetailsSubScreens::unlinkDropbox() {
    // Without a session no account can have been linked, so there is nothing to forget.
    if (vaultora::sync::DBSession* session = vaultora::sync::DBSession::sharedSession())
        session->unlink();
}

void ApplicationDetailsSubScreens::showNotAvailable(const QString& route) const {
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showError(
            QStringLiteral("%1 is not available in this version.").arg(route), QString(),
            notAvailableSeconds);
    }
}
