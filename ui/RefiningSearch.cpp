#include "ui/RefiningSearch.h"

#include "ui/EntrySearch.h"
#include "ui/SearchFolding.h"
#include "ui/SubstringFinder.h"

namespace vaultora::ui {

void RefiningSearch::useIndex(std::shared_ptr<const SearchIndex> index) {
    reset();
    m_treeIndex = std::move(index);
}

std::shared_ptr<const SearchResults> RefiningSearch::search(const kdb::DatabaseGroup* group,
                                                            const QString& text) {
    if (group == nullptr) {
        reset();
        return std::make_shared<const SearchResults>();
    }
    if (group != m_group || !m_groupIndex) {
        reset();
        m_group = group;
        const std::optional<SearchIndex::EntryRange> range =
            m_treeIndex != nullptr ? m_treeIndex->rangeOf(group) : std::nullopt;
        m_groupIndex = range ? m_treeIndex : std::make_shared<const SearchIndex>(*group);
        // A group's own index always holds the group.
        m_range = range ? *range : m_groupIndex->rangeOf(group).value_or(SearchIndex::EntryRange{});
    }
    // Steps whose text is not the beginning of this one say nothing about its results.
    while (!m_steps.empty() && !text.startsWith(m_steps.back().text)) {
        m_steps.pop_back();
    }
    if (m_steps.empty() || m_steps.back().text != text) {
        m_steps.push_back(Step{text, searchGroup(text)});
    }
    return m_steps.back().results;
}

std::shared_ptr<const SearchResults> RefiningSearch::searchGroup(const QString& text) const {
    auto results = std::make_shared<SearchResults>(m_groupIndex, m_range);
    // Whatever contains the longer text contains the shorter one, ignoring case or not, so
    // only the results of the step before can match.
    const auto forEachCandidateRun = [this](auto visit) {
        if (m_steps.empty()) {
            visit(m_range.begin, m_range.end);
        } else {
            m_steps.back().results->forEachRun(visit);
        }
    };
    if (const std::optional<std::string> folded = SearchFolding::foldedQuery(text)) {
        const SubstringFinder finder(*folded);
        forEachCandidateRun(
            [this, &finder, &results](SearchIndex::Ordinal begin, SearchIndex::Ordinal end) {
                m_groupIndex->collectMatches(finder, SearchIndex::EntryRange{begin, end}, *results);
            });
        return results;
    }
    // A query the folded texts cannot answer is compared entry by entry, as the full search
    // compares it.
    const EntrySearch query(text);
    forEachCandidateRun(
        [this, &query, &results](SearchIndex::Ordinal begin, SearchIndex::Ordinal end) {
            for (SearchIndex::Ordinal ordinal = begin; ordinal < end; ++ordinal) {
                if (query.matches(*m_groupIndex->entryAt(ordinal))) {
                    results->append(ordinal);
                }
            }
        });
    return results;
}

void RefiningSearch::reset() {
    m_group = nullptr;
    m_groupIndex.reset();
    m_range = {};
    m_steps.clear();
}

} // namespace vaultora::ui
