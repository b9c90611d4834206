#include "ui/SubstringFinder.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vaultora::ui {

SubstringFinder::SubstringFinder(std::string_view needle) : m_needle(needle) {}

const char* SubstringFinder::find(const char* begin, const char* end) const {
    const std::size_t length = m_needle.size();
    if (length == 0) {
        return begin;
    }
    if (static_cast<std::size_t>(end - begin) < length) {
        return end;
    }
    const char first = m_needle.front();
    if (length == 1) {
        const void* found = std::memchr(begin, first, static_cast<std::size_t>(end - begin));
        return found != nullptr ? static_cast<const char*>(found) : end;
    }
    // The last place where the needle may start.
    const char* const lastStart = end - length;
    const char* position = begin;
#if defined(__SSE2__)
    constexpr std::ptrdiff_t blockSize = 16;
    const __m128i firstBytes = _mm_set1_epi8(first);
    const __m128i lastBytes = _mm_set1_epi8(m_needle.back());
    // A block tests the starts position to position + 15; the last of them reads up to
    // lastStart + length - 1, the range's last byte.
    for (; lastStart - position >= blockSize - 1; position += blockSize) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(position));
        const __m128i ends =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(position + length - 1));
        auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(starts, firstBytes), _mm_cmpeq_epi8(ends, lastBytes))));
        while (candidates != 0) {
            const int lane = std::countr_zero(candidates);
            if (std::memcmp(position + lane + 1, m_needle.data() + 1, length - 2) == 0) {
                return position + lane;
            }
            candidates &= candidates - 1;
        }
    }
#endif
    while (position <= lastStart) {
        const void* found =
            std::memchr(position, first, static_cast<std::size_t>(lastStart - position) + 1);
        if (found == nullptr) {
            return end;
        }
        position = static_cast<const char*>(found);
        if (std::memcmp(position + 1, m_needle.data() + 1, length - 1) == 0) {
            return position;
        }
        ++position;
    }
    return end;
}

} // namespace vaultora::ui
