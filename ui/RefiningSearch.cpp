#include "ui/RefiningSearch.h"

#include "ui/EntrySearch.h"

namespace vaultora::ui {

const std::vector<kdb::DatabaseEntry*>& RefiningSearch::search(const kdb::DatabaseGroup* group,
                                                               const QString& text) {
    if (group != m_group) {
        reset();
        m_group = group;
    }
    // Steps whose text is not the beginning of this one say nothing about its results.
    while (!m_steps.empty() && !text.startsWith(m_steps.back().text)) {
        m_steps.pop_back();
    }
    if (!m_steps.empty() && m_steps.back().text == text) {
        return m_steps.back().results;
    }
    const EntrySearch query(text);
    Step step{text, {}};
    if (m_steps.empty()) {
        query.collectMatches(group, step.results);
    } else {
        // Whatever contains the longer text contains the shorter one, ignoring case or not.
        for (kdb::DatabaseEntry* entry : m_steps.back().results) {
            if (query.matches(*entry)) {
                step.results.push_back(entry);
            }
        }
    }
    m_steps.push_back(std::move(step));
    return m_steps.back().results;
}

void RefiningSearch::reset() {
    m_group = nullptr;
    m_steps.clear();
}

} // namespace vaultora::ui
