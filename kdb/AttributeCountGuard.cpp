#include "AttributeCountGuard.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vaultora::kdb {

bool AttributeCountGuard::accept(const char* bytes, std::size_t length) noexcept {
    const char* position = bytes;
    const char* const end = bytes + length;
    // The state in locals for the length of the piece: the compiler keeps them in registers.
    State state = m_state;
    char quote = m_quote;
    uint32_t equalSigns = m_equalSigns;

    // Comments, declarations, processing instructions and end tags carry no attributes.
    const auto markupStarted = [&state](char next) {
        state = next == '!' || next == '?' || next == '/' ? State::Outside : State::StartTag;
    };
    // A character that can change the state: '<', '>', '=' or a quote. False once the tag
    // has too many attributes.
    const auto onMark = [&](const char* mark) {
        const char character = *mark;
        if (character == '<') {
            // A '<' never stands inside an attribute value, so it always opens markup. What
            // it opens shows in the next byte, which may come with the next piece.
            equalSigns = 0;
            state = State::MarkupStart;
            if (mark + 1 < end) {
                markupStarted(mark[1]);
            }
        } else if (state == State::StartTag) {
            if (character == '"' || character == '\'') {
                quote = character;
                state = State::Quoted;
            } else if (character == '=') {
                return ++equalSigns <= kMaximumAttributes;
            } else {
                state = State::Outside;
            }
        } else if (state == State::Quoted && character == quote) {
            state = State::StartTag;
        }
        return true;
    };

    bool accepted = true;
    if (state == State::MarkupStart && position < end) {
        markupStarted(*position);
    }
#if defined(__SSE2__)
    // Sixteen bytes at a time: only the marks among them can change the state, and outside
    // markup only a '<'.
    const __m128i opens = _mm_set1_epi8('<');
    const __m128i closes = _mm_set1_epi8('>');
    const __m128i equals = _mm_set1_epi8('=');
    const __m128i doubleQuotes = _mm_set1_epi8('"');
    const __m128i singleQuotes = _mm_set1_epi8('\'');
    for (; accepted && end - position >= 16; position += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
        const auto openLanes =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, opens)));
        auto lanes =
            openLanes | static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
                            _mm_cmpeq_epi8(block, closes),
                            _mm_or_si128(_mm_cmpeq_epi8(block, equals),
                                         _mm_or_si128(_mm_cmpeq_epi8(block, doubleQuotes),
                                                      _mm_cmpeq_epi8(block, singleQuotes))))));
        while (lanes != 0) {
            const unsigned candidates = state == State::Outside ? lanes & openLanes : lanes;
            if (candidates == 0) {
                break;
            }
            const int lane = std::countr_zero(candidates);
            // The marks up to this one are done with.
            lanes &= ~0u << (lane + 1);
            if (!onMark(position + lane)) {
                accepted = false;
                break;
            }
        }
    }
#endif
    for (; accepted && position < end; ++position) {
        const char character = *position;
        const bool mark = character == '<' || character == '>' || character == '=' ||
                          character == '"' || character == '\'';
        if (mark && !onMark(position)) {
            accepted = false;
        }
    }
    m_state = state;
    m_quote = quote;
    m_equalSigns = equalSigns;
    return accepted;
}

} // namespace vaultora::kdb
