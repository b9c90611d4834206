// The database list of the settings: the registered databases with add, delete and edit, and
// an "Ok" row that announces the changes and closes the screen.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/ScreenServices.h"
#include "ui/toolkit/ListPanel.h"

#include <QList>
#include <QString>

#include <memory>

namespace vaultora::app {
class ApplicationController;
} // namespace vaultora::app

namespace vaultora::ui {

class DatabaseDetailsSubScreens;

class DatabaseListScreen final : public toolkit::ListPanel {
    Q_OBJECT

public:
    enum Section { DatabasesSection = 0, OkSection = 1 };

    // One database row.
    struct CellContent {
        QString cellImage;
        QString cellText;
        QString dataBaseFileName;
    };

    DatabaseListScreen(const ScreenServices& services, DatabaseDetailsSubScreens& subScreens,
                       QObject* parent = nullptr);
    ~DatabaseListScreen() override;

    [[nodiscard]] const QList<CellContent>& cellContents() const { return m_cellContents; }
    // Replaces the rows with one per registry record, in registry order.
    void rebuildTableArray();
    void receiveDatabaseChangedNotification();

    // Bar buttons.
    void EditTable();
    void AddTable();

    void tableViewDidSelectRowAtIndexPath(int section, int row);
    // A deletion asked for in editing mode: first asks "Delete <name> and its file?"; the
    // record of the row is deleted only when the answer is "Delete".
    void askToDeleteRow(int row);
    // Removes the record at the row and its file in the documents directory, and announces the
    // change so that the menu drops the row at once; the saved master password stays.
    void deleteRow(int row);

    // Removes the database file of a record from the documents directory. A name that is empty
    // or could reach outside the directory removes nothing; so does anything but a file placed
    // directly in it. Returns whether a file was removed.
    static bool removeDatabaseFile(const app::ApplicationController& delegate,
                                   const QString& databaseName);

private:
    void viewDidLoad();
    void reloadData();
    void setEditing(bool editing);
    void openDetails(int index);
    void deleteRecord(const std::shared_ptr<base::DatabaseRecord>& record);

    const ScreenServices& m_services;
    DatabaseDetailsSubScreens& m_subScreens;
    QList<CellContent> m_cellContents;
};

} // namespace vaultora::ui
