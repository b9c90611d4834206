#include "ui/SearchResults.h"

#include <stdexcept>

namespace vaultora::ui {

SearchResults::SearchResults(std::shared_ptr<const SearchIndex> index,
                             SearchIndex::EntryRange range)
    : m_index(std::move(index)), m_range(range),
      m_words((static_cast<std::size_t>(range.end - range.begin) + wordBits - 1) / wordBits) {}

void SearchResults::append(SearchIndex::Ordinal ordinal) {
    if (ordinal < m_range.begin || ordinal >= m_range.end) {
        throw std::invalid_argument("search result outside the searched entries");
    }
    if (m_count > 0 && ordinal <= m_last) {
        throw std::invalid_argument("search results out of order");
    }
    const std::size_t bit = ordinal - m_range.begin;
    m_words[bit / wordBits] |= std::uint64_t{1} << (bit % wordBits);
    if (m_count % sampleSpacing == 0) {
        m_samples.push_back(ordinal);
    }
    m_last = ordinal;
    ++m_count;
}

kdb::DatabaseEntry* SearchResults::at(std::size_t position) const {
    if (position >= m_count) {
        throw std::out_of_range("no search result at this position");
    }
    const std::size_t start = m_samples[position / sampleSpacing] - m_range.begin;
    std::size_t remaining = position % sampleSpacing;
    std::size_t word = start / wordBits;
    // The sampled result itself and those after it.
    std::uint64_t bits = m_words[word] & (~std::uint64_t{0} << (start % wordBits));
    for (;;) {
        const auto count = static_cast<std::size_t>(std::popcount(bits));
        if (remaining < count) {
            for (; remaining > 0; --remaining) {
                bits &= bits - 1;
            }
            const std::size_t bit = word * wordBits + static_cast<unsigned>(std::countr_zero(bits));
            return m_index->entryAt(static_cast<SearchIndex::Ordinal>(m_range.begin + bit));
        }
        remaining -= count;
        bits = m_words[++word];
    }
}

std::vector<kdb::DatabaseEntry*> SearchResults::entries() const {
    std::vector<kdb::DatabaseEntry*> entries;
    entries.reserve(m_count);
    forEachRun([this, &entries](SearchIndex::Ordinal begin, SearchIndex::Ordinal end) {
        for (SearchIndex::Ordinal ordinal = begin; ordinal < end; ++ordinal) {
            entries.push_back(m_index->entryAt(ordinal));
        }
    });
    return entries;
}

} // namespace vaultora::ui
