#include "ui/ApplicationDetailsSubScreens.h"

#include "app/ApplicationController.h"
#include "sync/dropbox/DropboxSession.h"
#include "sync/dropbox/DropboxSyncRunner.h"
#include "ui/DetailsWebServerHost.h"
#include "ui/DropboxFilePicker.h"
#include "ui/DropboxLoginScreenPresenter.h"
#include "ui/DropboxScreenAdapters.h"
#include "ui/WebServerScreen.h"
#include "ui/toolkit/Panel.h"
#include "ui/toolkit/TransientPanelHost.h"

namespace vaultora::ui {

namespace {

constexpr double notAvailableSeconds = 2.5;

} // namespace

std::unique_ptr<toolkit::Panel> ApplicationDetailsSubScreens::createUploadScreen(
    const std::shared_ptr<base::DatabaseRecord>& record, DatabaseDetailsScreen& rootView) {
    auto screen = std::make_unique<ui::WebServerScreen>(m_services.delegate->documentsDirectory(),
                                                        m_services.transientPanels);
    screen->setDatabaseRecord(record);
    screen->setRootView(&DetailsWebServerHost::of(rootView));
    screen->createDialog();
    return screen;
}

std::unique_ptr<toolkit::Panel> ApplicationDetailsSubScreens::createDropboxPicker(
    const QString& directory, const std::shared_ptr<base::DatabaseRecord>& record,
    DatabaseDetailsScreen& rootView) {
    if (m_services.dropbox != nullptr) {
        return std::make_unique<DropboxFilePicker>(directory,
                                                   DropboxDetailsPickerHost::of(rootView), record,
                                                   m_services.dropboxLogins->services());
    }
    showNotAvailable(QStringLiteral("Dropbox"));
    return {};
}

void ApplicationDetailsSubScreens::downloadDropboxFile(
    const std::shared_ptr<base::DatabaseRecord>& record) {
    if (m_services.dropbox != nullptr) {
        m_services.dropbox->download(record);
        return;
    }
    showNotAvailable(QStringLiteral("Dropbox"));
}

void ApplicationDetailsSubScreens::unlinkDropbox() {
    // Without a session no account can have been linked, so there is nothing to forget.
    if (vaultora::sync::DropboxSession* session = vaultora::sync::DropboxSession::sharedSession())
        session->unlink();
}

void ApplicationDetailsSubScreens::showNotAvailable(const QString& route) const {
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showError(
            QStringLiteral("%1 is not available in this version.").arg(route), QString(),
            notAvailableSeconds);
    }
}

} // namespace vaultora::ui
