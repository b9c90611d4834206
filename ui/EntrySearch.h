// The browser's search: an entry matches when the text occurs, ignoring case, in its name, its
// URL or its comments. User names and passwords are never searched.
#pragma once

#include "kdb/DatabaseModel.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace vaultora::ui {

class EntrySearch final {
public:
    explicit EntrySearch(const QString& text);

    [[nodiscard]] bool matches(const kdb::DatabaseEntry& entry) const;
    // Appends the matching entries of the group and of every group below it, depth first: a
    // group's own entries before those of its first subgroup. An absent group adds nothing.
    void collectMatches(const kdb::DatabaseGroup* group,
                        std::vector<kdb::DatabaseEntry*>& results) const;

    // Whether the text occurs in the UTF-8 text, ignoring case.
    [[nodiscard]] bool occursIn(std::string_view text) const;

private:
    QString m_text;
    // The lower-case text when it is plain ASCII: most fields are, and comparing their bytes
    // directly keeps a search over a large database within one frame.
    std::string m_asciiLowerText;
    bool m_textIsAscii = true;
    // Whether the case-folded text has a letter outside ASCII.
    bool m_foldsBeyondAscii = false;
};

} // namespace vaultora::ui
