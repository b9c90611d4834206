// Finds a byte string in a longer text, the search's inner loop over its index of folded texts:
// sixteen start positions at a time where the processor allows, and a position is compared in
// full only when the needle's first and last bytes are in place.
#pragma once

#include <string>
#include <string_view>

namespace vaultora::ui {

class SubstringFinder final {
public:
    explicit SubstringFinder(std::string_view needle);

    // The first place in [begin, end) where the needle occurs whole, or end when it occurs
    // nowhere. An empty needle occurs at begin. Reads no byte outside the range.
    [[nodiscard]] const char* find(const char* begin, const char* end) const;

private:
    std::string m_needle;
};

} // namespace vaultora::ui
