#include "ui/ApplicationDetailsSubScreens.h"

#include "ui/toolkit/Panel.h"
#include "ui/toolkit/TransientPanelHost.h"

namespace {

constexpr double notAvailableSeconds = 2.5;

} // namespace

std::unique_ptr<toolkit::Panel>
ApplicationDetailsSubScreens::createUploadScreen(const std::shared_ptr<KeePassServerDetail>& record,
                                                 SettingsDatabaseDetailsViewController& rootView) {
    Q_UNUSED(record);
    Q_UNUSED(rootView);
    // Attachment point: the upload web-server screen joins here.
    showNotAvailable(QStringLiteral("The upload server"));
    return {};
}

std::unique_ptr<toolkit::Panel> ApplicationDetailsSubScreens::createDropboxPicker(
    const QString& directory, const std::shared_ptr<KeePassServerDetail>& record,
    SettingsDatabaseDetailsViewController& rootView) {
    Q_UNUSED(directory);
    Q_UNUSED(record);
    Q_UNUSED(rootView);
    // Attachment point: the Dropbox file picker joins here.
    showNotAvailable(QStringLiteral("Dropbox"));
    return {};
}

void ApplicationDetailsSubScreens::downloadDropboxFile(
    const std::shared_ptr<KeePassServerDetail>& record) {
    Q_UNUSED(record);
    // Attachment point: the Dropbox synchroniser's download joins here.
    showNotAvailable(QStringLiteral("Dropbox"));
}

void ApplicationDetailsSubScreens::unlinkDropbox() {
    // Attachment point: unlinking the shared Dropbox session joins here. Until then no account
    // can have been linked, so there is nothing to forget.
}

void ApplicationDetailsSubScreens::showNotAvailable(const QString& route) const {
    if (m_services.transientPanels != nullptr) {
        m_services.transientPanels->showError(
            QStringLiteral("%1 is not available in this version.").arg(route), QString(),
            notAvailableSeconds);
    }
}
