#include "AttributeCountGuard.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vaultora::kdb {

namespace {

constexpr bool isMark(char character) noexcept {
    return character == '<' || character == '>' || character == '=' || character == '"' ||
           character == '\'';
}

} // namespace

bool AttributeCountGuard::accept(const char* bytes, std::size_t length) noexcept {
    const char* position = bytes;
    const char* const end = bytes + length;
    if (m_state == State::MarkupStart && position < end) {
        markupStarted(*position);
    }
#if defined(__SSE2__)
    // Sixteen bytes at a time: only the marks among them can change the state.
    const __m128i opens = _mm_set1_epi8('<');
    const __m128i closes = _mm_set1_epi8('>');
    const __m128i equalSigns = _mm_set1_epi8('=');
    const __m128i doubleQuotes = _mm_set1_epi8('"');
    const __m128i singleQuotes = _mm_set1_epi8('\'');
    for (; end - position >= 16; position += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
        const __m128i marks = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(block, opens), _mm_cmpeq_epi8(block, closes)),
            _mm_or_si128(_mm_cmpeq_epi8(block, equalSigns),
                         _mm_or_si128(_mm_cmpeq_epi8(block, doubleQuotes),
                                      _mm_cmpeq_epi8(block, singleQuotes))));
        for (auto lanes = static_cast<unsigned>(_mm_movemask_epi8(marks)); lanes != 0;
             lanes &= lanes - 1) {
            if (!onMark(position + std::countr_zero(lanes), end)) {
                return false;
            }
        }
    }
#endif
    for (; position < end; ++position) {
        if (isMark(*position) && !onMark(position, end)) {
            return false;
        }
    }
    return true;
}

bool AttributeCountGuard::onMark(const char* mark, const char* end) noexcept {
    const char character = *mark;
    if (character == '<') {
        // A '<' never stands inside an attribute value, so it always opens markup. What it
        // opens shows in the next byte, which may come with the next piece.
        m_equalSigns = 0;
        m_state = State::MarkupStart;
        if (mark + 1 < end) {
            markupStarted(mark[1]);
        }
        return true;
    }
    switch (m_state) {
    case State::StartTag:
        if (character == '"' || character == '\'') {
            m_quote = character;
            m_state = State::Quoted;
        } else if (character == '=') {
            return ++m_equalSigns <= kMaximumAttributes;
        } else if (character == '>') {
            m_state = State::Outside;
        }
        return true;
    case State::Quoted:
        if (character == m_quote) {
            m_state = State::StartTag;
        }
        return true;
    case State::Outside:
    case State::MarkupStart:
        return true;
    }
    return true;
}

void AttributeCountGuard::markupStarted(char next) noexcept {
    // Comments, declarations, processing instructions and end tags carry no attributes.
    m_state = next == '!' || next == '?' || next == '/' ? State::Outside : State::StartTag;
}

} // namespace vaultora::kdb
