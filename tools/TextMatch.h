#pragma once

#include <string_view>

namespace vaultora::cli {

// True when needle occurs in haystack, ignoring letter case (Unicode simple case mapping of
// the C.UTF-8 locale; ASCII only where that locale is missing). Both are UTF-8; an empty
// needle occurs everywhere.
[[nodiscard]] bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

} // namespace vaultora::cli
