// The browser's search as the user types: a query that extends the one before it can only
// match entries that the shorter one matched, so only those are searched again; deleting
// characters goes back to the results kept for the shorter query. The searching runs over the
// folded texts of an index (see SearchIndex).
#pragma once

#include "ui/SearchIndex.h"
#include "ui/SearchResults.h"

#include "kdb/DatabaseModel.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vaultora::ui {

class RefiningSearch final {
public:
    // The index of the tree to search from now on. A group it does not cover (or any group,
    // without an index) gets an index of its own at its first search. Forgets every kept
    // result.
    void useIndex(std::shared_ptr<const SearchIndex> index);
    // The entries of the group and of every group below it that match the text (see
    // EntrySearch), in the order of a full search. No group, no results.
    [[nodiscard]] std::shared_ptr<const SearchResults> search(const kdb::DatabaseGroup* group,
                                                              const QString& text);
    // Forgets every kept result, for a group whose entries may have changed.
    void reset();

private:
    // The results of a query typed on the way to the current one; each step's text begins
    // with the text of the step before it.
    struct Step {
        QString text;
        std::shared_ptr<const SearchResults> results;
    };

    [[nodiscard]] std::shared_ptr<const SearchResults> searchGroup(const QString& text) const;

    std::shared_ptr<const SearchIndex> m_treeIndex;
    const kdb::DatabaseGroup* m_group = nullptr;
    // The index the group is searched with, and the group's entries in it.
    std::shared_ptr<const SearchIndex> m_groupIndex;
    SearchIndex::EntryRange m_range;
    std::vector<Step> m_steps;
};

} // namespace vaultora::ui
