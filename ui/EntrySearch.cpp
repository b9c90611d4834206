#include "ui/EntrySearch.h"

#include <algorithm>

namespace {

[[nodiscard]] constexpr char asciiLower(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

[[nodiscard]] bool isAscii(const std::string& text) {
    return std::ranges::all_of(
        text, [](char character) { return (static_cast<unsigned char>(character) & 0x80U) == 0; });
}

} // namespace

EntrySearch::EntrySearch(const QString& text) : m_text(text) {
    const QByteArray utf8 = text.toUtf8();
    m_asciiLowerText.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    m_textIsAscii = isAscii(m_asciiLowerText);
    std::ranges::transform(m_asciiLowerText, m_asciiLowerText.begin(), asciiLower);
}

bool EntrySearch::occursIn(const std::string& text) const {
    if (m_textIsAscii && isAscii(text)) {
        const auto found = std::ranges::search(text, m_asciiLowerText, [](char left, char right) {
            return asciiLower(left) == right;
        });
        return found.begin() != text.end() || m_asciiLowerText.empty();
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .contains(m_text, Qt::CaseInsensitive);
}

bool EntrySearch::matches(const kdb::KdbEntry& entry) const {
    return occursIn(entry.getEntryName()) || occursIn(entry.getURL()) ||
           occursIn(entry.getComments());
}

void EntrySearch::searchKDBGroupFor(const kdb::KdbGroup* group,
                                    std::vector<kdb::KdbEntry*>& results) const {
    if (group == nullptr) {
        return;
    }
    for (kdb::KdbEntry* entry : group->getEntries()) {
        if (entry != nullptr && matches(*entry)) {
            results.push_back(entry);
        }
    }
    for (const kdb::KdbGroup* subgroup : group->getSubGroups()) {
        searchKDBGroupFor(subgroup, results);
    }
}
