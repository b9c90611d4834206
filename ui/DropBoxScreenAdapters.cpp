#include "ui/DropBoxScreenAdapters.h"

#include "ui/DatabaseViewController.h"
#include "ui/SettingsDatabaseDetailsViewController.h"

DropBoxPanelFlow::DropBoxPanelFlow(DatabaseViewController& panel)
    : QObject(&panel), m_panel(panel) {}

bool DropBoxPanelFlow::loginOrShowPasswordDialog() {
    return m_panel.loginOrShowPasswordDialog();
}

bool DropBoxPanelFlow::syncDatabaseFileAndOpen() {
    return m_panel.syncDatabaseFileAndOpen();
}

DropBoxDetailsRoot::DropBoxDetailsRoot(SettingsDatabaseDetailsViewController& details)
    : QObject(&details), m_details(details) {}

DropBoxDetailsRoot& DropBoxDetailsRoot::of(SettingsDatabaseDetailsViewController& details) {
    if (auto* existing =
            details.findChild<DropBoxDetailsRoot*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new DropBoxDetailsRoot(details);
}

toolkit::Panel* DropBoxDetailsRoot::pickerRootPanel() {
    return &m_details;
}

void DropBoxDetailsRoot::setKeePassServerDetail(std::shared_ptr<KeePassServerDetail> record) {
    m_details.setKeePassServerDetail(std::move(record));
}

void DropBoxDetailsRoot::createDialog() {
    m_details.createDialog();
}
