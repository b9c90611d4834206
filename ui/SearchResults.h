// The entries a search found among a run of an index's entries (see SearchIndex), in the order
// of a full search. One bit per entry of the run: a million results take 125 KB, so that typing
// over a large tree writes little fresh memory and every step of a refining search can be kept.
#pragma once

#include "ui/SearchIndex.h"

#include "kdb/DatabaseModel.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vaultora::ui {

class SearchResults final {
public:
    // No results.
    SearchResults() = default;
    // No results yet among the entries of the range.
    SearchResults(std::shared_ptr<const SearchIndex> index, SearchIndex::EntryRange range);

    // Adds an entry of the range after every entry added before it; the searches find their
    // results in this order. Throws std::invalid_argument otherwise.
    void append(SearchIndex::Ordinal ordinal);

    [[nodiscard]] std::size_t size() const { return m_count; }
    [[nodiscard]] bool empty() const { return m_count == 0; }
    // The result at the position (0 to size() - 1).
    [[nodiscard]] kdb::DatabaseEntry* at(std::size_t position) const;
    [[nodiscard]] std::vector<kdb::DatabaseEntry*> entries() const;

    // Calls visit(begin, end) for each run of consecutive results, begin to end - 1, in order.
    template <typename Visit> void forEachRun(Visit visit) const;

private:
    // Every this many results the ordinal of one is kept, so that at() starts near its place.
    static constexpr std::size_t sampleSpacing = 256;
    static constexpr unsigned wordBits = 64;

    std::shared_ptr<const SearchIndex> m_index;
    SearchIndex::EntryRange m_range;
    // Bit n stands for the entry of ordinal m_range.begin + n.
    std::vector<std::uint64_t> m_words;
    std::vector<SearchIndex::Ordinal> m_samples;
    SearchIndex::Ordinal m_last = 0;
    std::size_t m_count = 0;
};

template <typename Visit> void SearchResults::forEachRun(Visit visit) const {
    bool inRun = false;
    SearchIndex::Ordinal runBegin = 0;
    for (std::size_t word = 0; word < m_words.size(); ++word) {
        const std::uint64_t bits = m_words[word];
        const auto wordStart = static_cast<SearchIndex::Ordinal>(m_range.begin + word * wordBits);
        unsigned bit = 0;
        while (bit < wordBits) {
            // Outside a run the next set bit starts one; inside, the next clear bit ends it.
            const std::uint64_t rest = (inRun ? ~bits : bits) >> bit;
            if (rest == 0) {
                break;
            }
            bit += static_cast<unsigned>(std::countr_zero(rest));
            if (inRun) {
                visit(runBegin, wordStart + bit);
            } else {
                runBegin = wordStart + bit;
            }
            inRun = !inRun;
        }
    }
    // Bits past the range's end stay clear, so only a run up to its very end is still open.
    if (inRun) {
        visit(runBegin, m_range.end);
    }
}

} // namespace vaultora::ui
