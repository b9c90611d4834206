// The Dropbox file picker: one folder of the account per screen, folders lead to a picker of
// their own, choosing a file stores it in the record being edited and returns to the details
// screen.
#pragma once

#include "base/DatabaseRecord.h"
#include "sync/dropbox/DropboxClientDelegate.h"
#include "ui/DropboxLoginScreen.h"
#include "ui/DropboxLoginScreenDelegate.h"
#include "ui/DropboxScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>
#include <QVariantList>
#include <memory>

namespace vaultora::sync {
class DropboxClient;
} // namespace vaultora::sync

namespace vaultora::ui {

class DropboxPickerHost;

class DropboxFilePicker final : public toolkit::FormPanel,
                                private sync::DropboxClientDelegate,
                                private DropboxLoginScreenDelegate {
    Q_OBJECT

public:
    static inline const QString FileNameKey = QStringLiteral("FileName");
    static inline const QString IsDirectoryKey = QStringLiteral("isDirectory");
    static inline const QString FullFileNameKey = QStringLiteral("fullFileName");

    // Lists `directory` ("/" for the top), or presents the login screen first when the session
    // is not linked. The root view must be a panel below this one in the same container.
    DropboxFilePicker(QString directory, DropboxPickerHost& rootView,
                      std::shared_ptr<base::DatabaseRecord> record, DropboxScreenServices services,
                      QObject* parent = nullptr);
    ~DropboxFilePicker() override;

    // The folder of the subfolder `name` of `directory`.
    [[nodiscard]] static QString subdirectoryPath(const QString& directory, const QString& name);

    // Builds the form from arrayItems.
    void createDialog();
    void loginDropbox();

    // Opens the picker of a subfolder over this one.
    void openDirectory(const QString& name);
    // Stores the file in the record and returns to the details screen.
    void chooseFile(const QString& name, const QString& fullFileName);

    [[nodiscard]] const QString& currentDropboxDirectory() const {
        return m_currentDropboxDirectory;
    }
    [[nodiscard]] const QVariantList& arrayItems() const { return m_arrayItems; }
    [[nodiscard]] const std::shared_ptr<base::DatabaseRecord>& keePassServerDetail() const {
        return m_record;
    }
    [[nodiscard]] sync::DropboxClient& restClient() const { return *m_restClient; }
    [[nodiscard]] bool bIsActive() const { return m_active; }
    [[nodiscard]] DropboxLoginScreen* loginController() const { return m_loginController; }

private:
    void loadedMetadata(sync::DropboxClient& client,
                        const sync::DropboxMetadata& metadata) override;
    void loadMetadataFailedWithError(sync::DropboxClient& client,
                                     const net::NetworkError& error) override;
    void loginControllerDidLogin(DropboxLoginScreen& controller) override;
    void loginControllerDidCancel(DropboxLoginScreen& controller) override;
    void returnToRootView();

    QString m_currentDropboxDirectory;
    DropboxPickerHost* m_rootView;
    QPointer<toolkit::Panel> m_rootPanel;
    std::shared_ptr<base::DatabaseRecord> m_record;
    DropboxScreenServices m_services;
    sync::DropboxClient* m_restClient;
    QVariantList m_arrayItems;
    bool m_active = false;
    QPointer<DropboxLoginScreen> m_loginController;
};

} // namespace vaultora::ui
