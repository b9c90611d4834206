// The screens as the Dropbox synchroniser and picker see them. Each adapter is a child of its
// screen, so it goes when the screen goes and the sync stops calling it.
#pragma once

#include "sync/dropbox/DropboxLoginFlow.h"
#include "ui/DropboxPickerHost.h"

#include <QObject>

namespace vaultora::ui {

class DatabaseOpenFlow;
class DatabaseDetailsScreen;

class DropboxPanelFlow final : public QObject, public vaultora::sync::DropboxLoginFlow {
    Q_OBJECT

public:
    explicit DropboxPanelFlow(DatabaseOpenFlow& flow);

    bool loginOrShowPasswordDialog() override;
    bool syncDatabaseFileAndOpen() override;

private:
    DatabaseOpenFlow& m_flow;
};

class DropboxDetailsPickerHost final : public QObject, public DropboxPickerHost {
    Q_OBJECT

public:
    // The adapter of the details screen, created with it on first use.
    static DropboxDetailsPickerHost& of(DatabaseDetailsScreen& details);

    toolkit::Panel* pickerRootPanel() override;
    void setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record) override;
    void createDialog() override;

private:
    explicit DropboxDetailsPickerHost(DatabaseDetailsScreen& details);

    DatabaseDetailsScreen& m_details;
};

} // namespace vaultora::ui
