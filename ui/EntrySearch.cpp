#include "ui/EntrySearch.h"

#include "ui/SearchFolding.h"

#include "kdb/GroupWalk.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vaultora::ui {

namespace {

[[nodiscard]] constexpr char asciiLower(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

// Whether the lower-case ASCII needle occurs in the text, comparing ASCII letters without case.
[[nodiscard]] bool containsAsciiFolded(std::string_view text, std::string_view lowerNeedle) {
    const std::size_t length = lowerNeedle.size();
    if (length == 0) {
        return true;
    }
    if (text.size() < length) {
        return false;
    }
    const char first = lowerNeedle.front();
    const char firstUpper =
        first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
    for (std::size_t start = 0; start + length <= text.size(); ++start) {
        const char character = text[start];
        if (character != first && character != firstUpper) {
            continue;
        }
        std::size_t matched = 1;
        while (matched < length && asciiLower(text[start + matched]) == lowerNeedle[matched]) {
            ++matched;
        }
        if (matched == length) {
            return true;
        }
    }
    return false;
}

} // namespace

EntrySearch::EntrySearch(const QString& text) : m_text(text) {
    const QByteArray utf8 = text.toUtf8();
    m_asciiLowerText.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    m_textIsAscii = SearchFolding::isAscii(m_asciiLowerText);
    std::ranges::transform(m_asciiLowerText, m_asciiLowerText.begin(), asciiLower);
    const QString folded = text.toCaseFolded();
    m_foldsBeyondAscii =
        std::ranges::any_of(folded, [](QChar character) { return character.unicode() >= 0x80; });
}

bool EntrySearch::occursIn(std::string_view text) const {
    const bool textIsAscii = SearchFolding::isAscii(text);
    if (m_textIsAscii && textIsAscii) {
        return containsAsciiFolded(text, m_asciiLowerText);
    }
    if (textIsAscii && m_foldsBeyondAscii) {
        // A letter that stays outside ASCII however its case is folded cannot occur in plain
        // ASCII text, so most fields need no conversion.
        return false;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .contains(m_text, Qt::CaseInsensitive);
}

bool EntrySearch::matches(const kdb::DatabaseEntry& entry) const {
    return occursIn(entry.getEntryName()) || occursIn(entry.getURL()) ||
           occursIn(entry.getComments());
}

void EntrySearch::collectMatches(const kdb::DatabaseGroup* group,
                                 std::vector<kdb::DatabaseEntry*>& results) const {
    if (group == nullptr) {
        return;
    }
    kdb::GroupWalk::walk(*group, [this, &results](const kdb::DatabaseGroup& visited) {
        for (kdb::DatabaseEntry* entry : visited.getEntries()) {
            if (entry != nullptr && matches(*entry)) {
                results.push_back(entry);
            }
        }
    });
}

} // namespace vaultora::ui
