// The texts of the search as its index compares them: every character case folded on its own,
// as Qt's case-insensitive comparison folds it, and written as UTF-8. A text contains a query,
// ignoring case, exactly when its folded bytes contain the query's folded bytes: both are
// whole UTF-8 characters, and a character's folding never depends on its neighbours.
#pragma once

#include "ui/LargeBlockAllocator.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultora::ui {

class SearchFolding final {
public:
    // Folded texts are copies of names and comments: they are wiped when released.
    using FoldedBytes = std::vector<char, LargeBlockAllocator<char, WipeOnRelease::Yes>>;

    SearchFolding() = delete;

    [[nodiscard]] static bool isAscii(std::string_view text);
    // Appends the folded text of a field, read as QString::fromUtf8 reads it (so that an
    // invalid sequence stands for the same replacement characters as in the full search).
    static void appendFolded(std::string_view utf8, FoldedBytes& folded);
    // The folded query, or nothing for a query with a lone surrogate: such a query can match
    // half of a character, which folded UTF-8 cannot express.
    [[nodiscard]] static std::optional<std::string> foldedQuery(const QString& text);
};

} // namespace vaultora::ui
