#include "ui/DropboxScreenAdapters.h"

#include "ui/GroupBrowser.h"
#include "ui/DatabaseDetailsScreen.h"

namespace vaultora::ui {

DropboxPanelFlow::DropboxPanelFlow(GroupBrowser& panel)
    : QObject(&panel), m_panel(panel) {}

bool DropboxPanelFlow::loginOrShowPasswordDialog() {
    return m_panel.loginOrShowPasswordDialog();
}

bool DropboxPanelFlow::syncDatabaseFileAndOpen() {
    return m_panel.syncDatabaseFileAndOpen();
}

DropboxDetailsPickerHost::DropboxDetailsPickerHost(DatabaseDetailsScreen& details)
    : QObject(&details), m_details(details) {}

DropboxDetailsPickerHost& DropboxDetailsPickerHost::of(DatabaseDetailsScreen& details) {
    if (auto* existing =
            details.findChild<DropboxDetailsPickerHost*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new DropboxDetailsPickerHost(details);
}

toolkit::Panel* DropboxDetailsPickerHost::pickerRootPanel() {
    return &m_details;
}

void DropboxDetailsPickerHost::setKeePassServerDetail(std::shared_ptr<base::DatabaseRecord> record) {
    m_details.setKeePassServerDetail(std::move(record));
}

void DropboxDetailsPickerHost::createDialog() {
    m_details.createDialog();
}

} // namespace vaultora::ui
