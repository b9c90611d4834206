// The Dropbox file picker: one folder of the account per screen, folders lead to a picker of
// their own, choosing a file stores it in the record being edited and returns to the details
// screen.
#pragma once

#include "app/KeePassServerDetail.h"
#include "sync/DBLoginController.h"
#include "sync/DBLoginControllerDelegate.h"
#include "sync/DBRestClientDelegate.h"
#include "sync/DBScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>
#include <QVariantList>
#include <memory>

namespace vaultora::sync {

class DBRestClient;
class DropBoxPickerRoot;

class DropBoxSettingsDabasesViewController final : public toolkit::FormPanel,
                                                   private DBRestClientDelegate,
                                                   private DBLoginControllerDelegate {
    Q_OBJECT

public:
    static inline const QString FileNameKey = QStringLiteral("FileName");
    static inline const QString IsDirectoryKey = QStringLiteral("isDirectory");
    static inline const QString FullFileNameKey = QStringLiteral("fullFileName");

    // Lists `directory` ("/" for the top), or presents the login screen first when the session
    // is not linked. The root view must be a panel below this one in the same container.
    DropBoxSettingsDabasesViewController(QString directory, DropBoxPickerRoot& rootView,
                                         std::shared_ptr<KeePassServerDetail> record,
                                         DBScreenServices services, QObject* parent = nullptr);
    ~DropBoxSettingsDabasesViewController() override;

    // The folder of the subfolder `name` of `directory`.
    [[nodiscard]] static QString subdirectoryPath(const QString& directory, const QString& name);

    // Builds the form from arrayItems.
    void createDialog();
    void loginDropBox();

    // Opens the picker of a subfolder over this one.
    void openDirectory(const QString& name);
    // Stores the file in the record and returns to the details screen.
    void chooseFile(const QString& name, const QString& fullFileName);

    [[nodiscard]] const QString& currentDropBoxDirectory() const {
        return m_currentDropBoxDirectory;
    }
    [[nodiscard]] const QVariantList& arrayItems() const { return m_arrayItems; }
    [[nodiscard]] const std::shared_ptr<KeePassServerDetail>& keePassServerDetail() const {
        return m_record;
    }
    [[nodiscard]] DBRestClient& restClient() const { return *m_restClient; }
    [[nodiscard]] bool bIsActive() const { return m_active; }
    [[nodiscard]] DBLoginController* loginController() const { return m_loginController; }

private:
    void loadedMetadata(DBRestClient& client, const DBMetadata& metadata) override;
    void loadMetadataFailedWithError(DBRestClient& client, const NetworkError& error) override;
    void loginControllerDidLogin(DBLoginController& controller) override;
    void loginControllerDidCancel(DBLoginController& controller) override;
    void returnToRootView();

    QString m_currentDropBoxDirectory;
    DropBoxPickerRoot* m_rootView;
    QPointer<toolkit::Panel> m_rootPanel;
    std::shared_ptr<KeePassServerDetail> m_record;
    DBScreenServices m_services;
    DBRestClient* m_restClient;
    QVariantList m_arrayItems;
    bool m_active = false;
    QPointer<DBLoginController> m_loginController;
};

} // namespace vaultora::sync
