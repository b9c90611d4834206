// The browser's search as the user types: a query that extends the one before it can only
// match entries that the shorter one matched, so only those are searched again; deleting
// characters goes back to the results kept for the shorter query.
#pragma once

#include "kdb/DatabaseModel.h"

#include <QString>

#include <vector>

namespace vaultora::ui {

class RefiningSearch final {
public:
    // The entries of the group and of every group below it that match the text (see
    // EntrySearch), in the order of a full search. The results are valid until the next call
    // or reset.
    [[nodiscard]] const std::vector<kdb::DatabaseEntry*>& search(const kdb::DatabaseGroup* group,
                                                                 const QString& text);
    // Forgets every kept result, for a group whose entries may have changed.
    void reset();

private:
    // The results of a query typed on the way to the current one; each step's text begins
    // with the text of the step before it.
    struct Step {
        QString text;
        std::vector<kdb::DatabaseEntry*> results;
    };

    const kdb::DatabaseGroup* m_group = nullptr;
    std::vector<Step> m_steps;
};

} // namespace vaultora::ui
