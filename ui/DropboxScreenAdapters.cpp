#include "ui/DropboxScreenAdapters.h"

#include "ui/DatabaseDetailsScreen.h"
#include "ui/DatabaseOpenFlow.h"

namespace vaultora::ui {

DropboxPanelFlow::DropboxPanelFlow(DatabaseOpenFlow& flow) : QObject(&flow), m_flow(flow) {}

bool DropboxPanelFlow::loginOrShowPasswordDialog() {
    return m_flow.openLocalCopy();
}

bool DropboxPanelFlow::syncDatabaseFileAndOpen() {
    return m_flow.start();
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

void DropboxDetailsPickerHost::setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record) {
    m_details.setDatabaseRecord(std::move(record));
}

void DropboxDetailsPickerHost::createDialog() {
    m_details.createDialog();
}

} // namespace vaultora::ui
