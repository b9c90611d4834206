// The database browser: one group of an opened database as a list (a spacer row under the
// search field, the subgroups, then the entries), the search over the group and everything
// below it, and the open flow that fills the first panel of a database.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/DatabaseLoader.h"
#include "ui/ScreenServices.h"
#include "ui/DoubleTapDetector.h"
#include "ui/toolkit/NavigationContainer.h"

#include "kdb/DatabaseModel.h"
#include "kdb/SecureBytes.h"

#include <QFutureWatcher>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

namespace vaultora::ui {

class PasswordForm;

class GroupBrowser final : public DoubleTapDetector {
    Q_OBJECT

public:
    using OpenCompletion = std::function<void(bool opened)>;

    explicit GroupBrowser(const ScreenServices& services, QObject* parent = nullptr);
    ~GroupBrowser() override;

    [[nodiscard]] const QString& databaseFileName() const { return m_databaseFileName; }
    void setDatabaseFileName(const QString& name) { m_databaseFileName = name; }
    [[nodiscard]] const std::shared_ptr<base::DatabaseRecord>& serverDetail() const {
        return m_serverDetail;
    }
    void setServerDetail(std::shared_ptr<base::DatabaseRecord> record);
    [[nodiscard]] bool isStackedView() const { return m_isStackedView; }
    void setIsStackedView(bool stacked);
    [[nodiscard]] const std::shared_ptr<kdb::DatabaseTree>& treeDatabase() const {
        return m_treeDatabase;
    }
    [[nodiscard]] kdb::DatabaseGroup* groupDatabase() const { return m_groupDatabase; }
    // Shows the group of the tree; the panel keeps the tree alive.
    void setGroup(std::shared_ptr<kdb::DatabaseTree> tree, kdb::DatabaseGroup* group);
    [[nodiscard]] toolkit::NavigationContainer* navController() const { return m_navController; }
    [[nodiscard]] const std::vector<kdb::DatabaseEntry*>& searchResultArray() const {
        return m_searchResultArray;
    }
    [[nodiscard]] bool toogleFullScreen() const { return m_toogleFullScreen; }

    // The open flow. Brings the file up to date with the record's synchroniser and goes on
    // with loginOrShowPasswordDialog; false when it stopped (missing file, failed download).
    bool syncDatabaseFileAndOpen();
    // Tries the saved password when the record keeps one, otherwise (or when it fails) asks
    // for the password. False when the file is missing.
    bool loginOrShowPasswordDialog();
    // Presents the password form.
    void loginDatabase();
    // Opens the file with the password off the main thread behind the progress overlay and,
    // on success, puts this panel on the stacked navigation. The completion runs on the main
    // thread with the result; on failure the cause is shown first.
    void openDatabaseWithPassword(const kdb::SecureBytes& password, OpenCompletion completion);
    [[nodiscard]] bool isOpening() const { return m_loading != nullptr; }

    // The list.
    [[nodiscard]] bool isSearchActive() const;
    void doSearchFilter();
    // The number of rows: the spacer, then subgroups and entries or the search results.
    [[nodiscard]] int numberOfRows() const;
    void onTableViewTap(int row, bool isDouble);

    // Bar buttons. The search field follows the panel's width in the view, so a switch
    // between full-screen and normal mode needs nothing from the panel.
    void closeView();
    void showFullScreen();
    [[nodiscard]] double stackableMinWidth() const override;
    void viewDidAppear() override;

    // Drops a panel whose open flow ended without opening it; nothing for an opened one.
    void abandon();

signals:
    // The open flow ended: the panel was opened and pushed, or not.
    void openFinished(bool opened);

protected:
    void onSingleTap(int row) override;
    void onDoubleTap(int row) override;

private:
    void reloadData();
    void finishOpening(DatabaseLoadOutcome outcome, const OpenCompletion& completion);
    void showOpenFailure(const DatabaseLoadOutcome& outcome);
    void showFileNotFound();
    void showPasswordNotCorrect();
    [[nodiscard]] QString databasePath() const;
    [[nodiscard]] bool databaseFileExists() const;
    [[nodiscard]] std::unique_ptr<GroupBrowser> childPanelFor(kdb::DatabaseGroup* group,
                                                                        bool stacked) const;
    void pushStacked(std::unique_ptr<toolkit::Panel> panel);
    void installBarButtons();

    const ScreenServices& m_services;
    QString m_databaseFileName;
    std::shared_ptr<base::DatabaseRecord> m_serverDetail;
    bool m_isStackedView = false;
    std::shared_ptr<kdb::DatabaseTree> m_treeDatabase;
    kdb::DatabaseGroup* m_groupDatabase = nullptr;
    QPointer<toolkit::NavigationContainer> m_navController;
    std::vector<kdb::DatabaseEntry*> m_searchResultArray;
    bool m_toogleFullScreen = false;
    bool m_abandoned = false;
    QFutureWatcher<DatabaseLoadOutcome>* m_loading = nullptr;
};

} // namespace vaultora::ui
