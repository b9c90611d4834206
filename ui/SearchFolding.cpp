#include "ui/SearchFolding.h"

#include <cstdint>
#include <cstring>

namespace vaultora::ui {

namespace {

template <typename Bytes> void appendUtf8(char32_t character, Bytes& out) {
    const auto byte = [](std::uint32_t value) { return static_cast<char>(value); };
    if (character < 0x80) {
        out.push_back(byte(character));
    } else if (character < 0x800) {
        out.push_back(byte(0xC0 | (character >> 6)));
        out.push_back(byte(0x80 | (character & 0x3F)));
    } else if (character < 0x10000) {
        out.push_back(byte(0xE0 | (character >> 12)));
        out.push_back(byte(0x80 | ((character >> 6) & 0x3F)));
        out.push_back(byte(0x80 | (character & 0x3F)));
    } else {
        out.push_back(byte(0xF0 | (character >> 18)));
        out.push_back(byte(0x80 | ((character >> 12) & 0x3F)));
        out.push_back(byte(0x80 | ((character >> 6) & 0x3F)));
        out.push_back(byte(0x80 | (character & 0x3F)));
    }
}

// Calls visit with each character of the UTF-16 text, or with a lone surrogate on its own;
// returns whether the text was free of lone surrogates.
template <typename Visit> bool forEachCharacter(const QString& text, Visit visit) {
    bool wellFormed = true;
    const qsizetype size = text.size();
    for (qsizetype index = 0; index < size; ++index) {
        const char16_t unit = text[index].unicode();
        if (QChar::isHighSurrogate(unit) && index + 1 < size &&
            QChar::isLowSurrogate(text[index + 1].unicode())) {
            visit(QChar::surrogateToUcs4(unit, text[index + 1].unicode()));
            ++index;
            continue;
        }
        wellFormed = wellFormed && !QChar::isSurrogate(unit);
        visit(char32_t{unit});
    }
    return wellFormed;
}

} // namespace

bool SearchFolding::isAscii(std::string_view text) {
    // Eight bytes at a time: this runs over every field of the tree.
    constexpr std::uint64_t highBits = 0x8080808080808080ULL;
    std::size_t index = 0;
    for (; index + sizeof(std::uint64_t) <= text.size(); index += sizeof(std::uint64_t)) {
        std::uint64_t block = 0;
        std::memcpy(&block, text.data() + index, sizeof block);
        if ((block & highBits) != 0) {
            return false;
        }
    }
    for (; index < text.size(); ++index) {
        if ((static_cast<unsigned char>(text[index]) & 0x80U) != 0) {
            return false;
        }
    }
    return true;
}

void SearchFolding::appendFolded(std::string_view utf8, FoldedBytes& folded) {
    if (isAscii(utf8)) {
        for (const char character : utf8) {
            folded.push_back(character >= 'A' && character <= 'Z'
                                 ? static_cast<char>(character - 'A' + 'a')
                                 : character);
        }
        return;
    }
    QString decoded = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // QString::fromUtf8 never makes a lone surrogate; were one there, it would be written as
    // the three bytes of its code point, which no folded query contains (foldedQuery refuses
    // lone surrogates), just as the full search could match it only with such a query.
    forEachCharacter(decoded, [&folded](char32_t character) {
        appendUtf8(QChar::toCaseFolded(character), folded);
    });
    // The decoded copy of a comment is as private as the comment.
    kdb::secureWipe(decoded.data(), static_cast<std::size_t>(decoded.size()) * sizeof(QChar));
}

std::optional<std::string> SearchFolding::foldedQuery(const QString& text) {
    std::string folded;
    const bool wellFormed = forEachCharacter(text, [&folded](char32_t character) {
        appendUtf8(QChar::toCaseFolded(character), folded);
    });
    if (!wellFormed) {
        return std::nullopt;
    }
    return folded;
}

} // namespace vaultora::ui
