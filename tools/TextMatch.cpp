#include "TextMatch.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace vaultora::cli {

namespace {

// The C.UTF-8 character classes, made once and kept for the life of the process.
locale_t caseLocale() {
    static const locale_t locale =
        newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

char32_t lowerCase(char32_t character) {
    if (const locale_t locale = caseLocale(); locale != static_cast<locale_t>(nullptr)) {
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(character), locale));
    }
    return character >= 'A' && character <= 'Z' ? character + ('a' - 'A') : character;
}

// Decodes UTF-8 leniently: a byte that does not start a well-formed sequence stands for
// itself, so that any text can still be searched.
std::u32string lowerCaseCharacters(std::string_view text) {
    std::u32string characters;
    characters.reserve(text.size());
    for (std::size_t position = 0; position < text.size();) {
        const auto lead = static_cast<uint8_t>(text[position]);
        std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 0;
        char32_t value = length == 4   ? lead & 0x07
                         : length == 3 ? lead & 0x0F
                         : length == 2 ? lead & 0x1F
                                       : lead;
        bool wellFormed = length > 0 && position + length <= text.size();
        for (std::size_t index = 1; wellFormed && index < length; ++index) {
            const auto next = static_cast<uint8_t>(text[position + index]);
            wellFormed = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            value = lead;
            length = 1;
        }
        characters.push_back(lowerCase(value));
        position += length;
    }
    return characters;
}

} // namespace

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    const std::u32string lowerHaystack = lowerCaseCharacters(haystack);
    const std::u32string lowerNeedle = lowerCaseCharacters(needle);
    return lowerHaystack.find(lowerNeedle) != std::u32string::npos;
}

} // namespace vaultora::cli
