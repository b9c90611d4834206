#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace vaultora::webserver {

// One satisfiable range of a representation, both ends inclusive.
struct ByteRange {
    uint64_t first = 0;
    uint64_t last = 0;

    [[nodiscard]] uint64_t length() const { return last - first + 1; }
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// Parses the value of a Range header for a representation of the given length (RFC 9110
// section 14.2). Nothing when the unit is not "bytes", any range is malformed or
// unsatisfiable, or the ranges are many or overlap: the server then ignores the header and
// answers the whole representation.
[[nodiscard]] std::optional<std::vector<ByteRange>> parseByteRanges(const QByteArray& value,
                                                                    uint64_t length);

} // namespace vaultora::webserver
