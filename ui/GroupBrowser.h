// The database browser: one group of an opened database as a list (a spacer row under the
// search field, the subgroups, then the entries), the search over the group and everything
// below it. The open flow hands the first panel of a database its tree.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/DoubleTapDetector.h"
#include "ui/RefiningSearch.h"
#include "ui/ScreenServices.h"
#include "ui/SearchIndex.h"
#include "ui/SearchResults.h"
#include "ui/toolkit/NavigationContainer.h"

#include "kdb/DatabaseModel.h"

#include <QPointer>

#include <memory>
#include <vector>

namespace vaultora::ui {

class GroupBrowser final : public DoubleTapDetector {
    Q_OBJECT

public:
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
    // Shows the group of the tree; the panel keeps the tree alive, and the search index of the
    // tree, which it builds unless it was given one for this tree.
    void setGroup(std::shared_ptr<kdb::DatabaseTree> tree, kdb::DatabaseGroup* group);
    // The index of the tree this panel shows, shared with the panels opened from it.
    [[nodiscard]] const std::shared_ptr<const SearchIndex>& searchIndex() const {
        return m_searchIndex;
    }
    // An index already built for the tree the next setGroup shows.
    void setSearchIndex(std::shared_ptr<const SearchIndex> index);
    // The container of a database's first panel on the stacked navigation; none for the
    // panels opened from it.
    [[nodiscard]] toolkit::NavigationContainer* navController() const { return m_navController; }
    void setNavController(toolkit::NavigationContainer* container) { m_navController = container; }
    [[nodiscard]] const SearchResults& searchResultArray() const { return *m_searchResults; }
    [[nodiscard]] bool toogleFullScreen() const { return m_toogleFullScreen; }

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

protected:
    void onSingleTap(int row) override;
    void onDoubleTap(int row) override;

private:
    void reloadData();
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
    // Never null: no results while no search runs.
    std::shared_ptr<const SearchResults> m_searchResults;
    std::shared_ptr<const SearchIndex> m_searchIndex;
    RefiningSearch m_search;
    bool m_toogleFullScreen = false;
};

} // namespace vaultora::ui
