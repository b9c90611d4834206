// The folded texts that the browser's search looks through (see EntrySearch): the name, URL and
// comments of every entry of a tree, folded (see SearchFolding) into one buffer in the order of
// a full search, so that a keystroke is one pass over contiguous bytes instead of three virtual
// getters and a case-insensitive comparison per entry. A group's entries and those of every
// group below it are one run of that order. Built once for a tree and shared by the panels that
// show it; the buffer is wiped when the index goes.
#pragma once

#include "ui/LargeBlockAllocator.h"
#include "ui/SearchFolding.h"
#include "ui/SubstringFinder.h"

#include "kdb/DatabaseModel.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vaultora::ui {

class SearchResults;

class SearchIndex final {
public:
    // An entry's place in the order of a full search over the whole tree.
    using Ordinal = std::uint32_t;
    // The entries begin to end - 1.
    struct EntryRange {
        Ordinal begin = 0;
        Ordinal end = 0;
    };

    // Folds the texts of every entry of the tree. The index keeps the tree alive, since it points
    // at its entries.
    explicit SearchIndex(std::shared_ptr<kdb::DatabaseTree> tree);
    // Folds the texts of the entries of the group and of every group below it; the caller keeps
    // the group alive.
    explicit SearchIndex(const kdb::DatabaseGroup& root);
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    [[nodiscard]] const kdb::DatabaseTree* tree() const { return m_tree.get(); }
    // The entries of the group and of every group below it; nothing for a group of another tree.
    [[nodiscard]] std::optional<EntryRange> rangeOf(const kdb::DatabaseGroup* group) const;
    [[nodiscard]] kdb::DatabaseEntry* entryAt(Ordinal ordinal) const { return m_entries[ordinal]; }

    // Appends, in order, the entries of the range whose name, URL or comments contain the
    // folded query.
    void collectMatches(const SubstringFinder& foldedQuery, EntryRange range,
                        SearchResults& matches) const;

    // The bytes the index holds, for the benchmarks' memory figures.
    [[nodiscard]] std::size_t byteSize() const;

private:
    void addEntriesBelow(const kdb::DatabaseGroup& root);

    std::shared_ptr<kdb::DatabaseTree> m_tree;
    std::vector<kdb::DatabaseEntry*, LargeBlockAllocator<kdb::DatabaseEntry*>> m_entries;
    // Entry n's folded name, URL and comments, each followed by a byte that never occurs in
    // UTF-8 (so no query matches across two texts), are the bytes m_offsets[n] to
    // m_offsets[n + 1] - 1 of m_folded.
    SearchFolding::FoldedBytes m_folded;
    std::vector<std::size_t, LargeBlockAllocator<std::size_t>> m_offsets;
    std::unordered_map<const kdb::DatabaseGroup*, EntryRange> m_groupRanges;
};

} // namespace vaultora::ui
