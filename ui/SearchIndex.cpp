#include "ui/SearchIndex.h"

#include "ui/SearchResults.h"

#include "kdb/GroupWalk.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vaultora::ui {

namespace {

// 0xFF starts no UTF-8 sequence and continues none.
constexpr char textSeparator = '\xFF';
constexpr std::size_t textsPerEntry = 3;

} // namespace

SearchIndex::SearchIndex(std::shared_ptr<kdb::DatabaseTree> tree) : m_tree(std::move(tree)) {
    m_offsets.push_back(0);
    if (const kdb::DatabaseGroup* root = m_tree != nullptr ? m_tree->getRoot() : nullptr) {
        addEntriesBelow(*root);
    }
}

SearchIndex::SearchIndex(const kdb::DatabaseGroup& root) {
    m_offsets.push_back(0);
    addEntriesBelow(root);
}

void SearchIndex::addEntriesBelow(const kdb::DatabaseGroup& root) {
    // One walk in the order of the full search collects the entries and the runs of the groups,
    // and sizes the buffer so that folding ASCII texts never moves it.
    std::size_t textBytes = 0;
    kdb::GroupWalk::walk(
        root,
        [this, &textBytes](const kdb::DatabaseGroup& group) {
            m_groupRanges[&group].begin = static_cast<Ordinal>(m_entries.size());
            for (kdb::DatabaseEntry* entry : group.getEntries()) {
                if (entry != nullptr) {
                    if (m_entries.size() == std::numeric_limits<Ordinal>::max()) {
                        // Far beyond what memory holds; an ordinal must never wrap.
                        throw std::length_error("too many entries to index for the search");
                    }
                    m_entries.push_back(entry);
                    textBytes += entry->getEntryName().size() + entry->getURL().size() +
                                 entry->getComments().size() + textsPerEntry;
                }
            }
        },
        [this](const kdb::DatabaseGroup& group) {
            m_groupRanges[&group].end = static_cast<Ordinal>(m_entries.size());
        });
    m_folded.reserve(textBytes);
    m_offsets.reserve(m_entries.size() + 1);
    for (const kdb::DatabaseEntry* entry : m_entries) {
        for (const std::string_view text :
             {entry->getEntryName(), entry->getURL(), entry->getComments()}) {
            SearchFolding::appendFolded(text, m_folded);
            m_folded.push_back(textSeparator);
        }
        m_offsets.push_back(m_folded.size());
    }
}

std::optional<SearchIndex::EntryRange> SearchIndex::rangeOf(const kdb::DatabaseGroup* group) const {
    const auto found = m_groupRanges.find(group);
    if (found == m_groupRanges.end()) {
        return std::nullopt;
    }
    return found->second;
}

void SearchIndex::collectMatches(const SubstringFinder& foldedQuery, EntryRange range,
                                 SearchResults& matches) const {
    const char* const folded = m_folded.data();
    const char* const rangeEnd = folded + m_offsets[range.end];
    Ordinal entry = range.begin;
    while (entry < range.end) {
        const char* const found = foldedQuery.find(folded + m_offsets[entry], rangeEnd);
        if (found == rangeEnd) {
            return;
        }
        const auto position = static_cast<std::size_t>(found - folded);
        // Mostly the hit is in the entry where the search started; otherwise the entries it
        // passed over are found by halving.
        if (m_offsets[entry + 1] <= position) {
            const auto after = std::upper_bound(m_offsets.begin() + entry + 1,
                                                m_offsets.begin() + range.end + 1, position);
            entry = static_cast<Ordinal>(after - m_offsets.begin() - 1);
        }
        matches.append(entry);
        // The rest of this entry's texts need not be searched.
        ++entry;
    }
}

std::size_t SearchIndex::byteSize() const {
    // A node of the group map holds its key, its range and a link, besides its bucket.
    constexpr std::size_t groupNodeBytes =
        sizeof(const kdb::DatabaseGroup*) + sizeof(EntryRange) + 2 * sizeof(void*);
    return sizeof(*this) + m_folded.capacity() + m_offsets.capacity() * sizeof(std::size_t) +
           m_entries.capacity() * sizeof(kdb::DatabaseEntry*) +
           m_groupRanges.size() * groupNodeBytes;
}

} // namespace vaultora::ui
