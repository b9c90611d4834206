// The screens as the Dropbox synchroniser and picker see them. Each adapter is a child of its
// screen, so it goes when the screen goes and the sync stops calling it.
#pragma once

#include "sync/dropbox/DropBoxLoginFlow.h"
#include "sync/dropbox/DropBoxPickerRoot.h"

#include <QObject>

class DatabaseViewController;
class SettingsDatabaseDetailsViewController;

class DropBoxPanelFlow final : public QObject, public vaultora::sync::DropBoxLoginFlow {
    Q_OBJECT

public:
    explicit DropBoxPanelFlow(DatabaseViewController& panel);

    bool loginOrShowPasswordDialog() override;
    bool syncDatabaseFileAndOpen() override;

private:
    DatabaseViewController& m_panel;
};

class DropBoxDetailsRoot final : public QObject, public vaultora::sync::DropBoxPickerRoot {
    Q_OBJECT

public:
    // The adapter of the details screen, created with it on first use.
    static DropBoxDetailsRoot& of(SettingsDatabaseDetailsViewController& details);

    toolkit::Panel* pickerRootPanel() override;
    void setKeePassServerDetail(std::shared_ptr<KeePassServerDetail> record) override;
    void createDialog() override;

private:
    explicit DropBoxDetailsRoot(SettingsDatabaseDetailsViewController& details);

    SettingsDatabaseDetailsViewController& m_details;
};
