#include "webserver/ByteRanges.h"

#include <QList>
#include <algorithm>
#include <limits>

namespace vaultora::webserver {

namespace {

// More ranges than this are not what a reader of a file asks for; answering them could only
// multiply the answer's headers.
constexpr std::size_t kMaxRanges = 16;

bool anyOverlap(std::vector<ByteRange> ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& left, const ByteRange& right) {
        return left.first < right.first;
    });
    for (std::size_t index = 1; index < ranges.size(); ++index) {
        if (ranges[index].first <= ranges[index - 1].last) {
            return true;
        }
    }
    return false;
}

std::optional<uint64_t> parseDecimal(const QByteArray& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char character : text) {
        if (character < '0' || character > '9') {
            return std::nullopt;
        }
        const auto digit = static_cast<uint64_t>(character - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::optional<ByteRange> parseRangeSpec(const QByteArray& spec, uint64_t length) {
    const qsizetype dash = spec.indexOf('-');
    if (dash < 0) {
        return std::nullopt;
    }
    const QByteArray firstText = spec.left(dash).trimmed();
    const QByteArray lastText = spec.mid(dash + 1).trimmed();
    if (firstText.isEmpty()) {
        // A suffix range names the final bytes; one longer than the whole means all of it.
        const std::optional<uint64_t> suffix = parseDecimal(lastText);
        if (!suffix || *suffix == 0) {
            return std::nullopt;
        }
        return ByteRange{*suffix >= length ? 0 : length - *suffix, length - 1};
    }
    const std::optional<uint64_t> first = parseDecimal(firstText);
    if (!first || *first >= length) {
        return std::nullopt;
    }
    if (lastText.isEmpty()) {
        return ByteRange{*first, length - 1};
    }
    const std::optional<uint64_t> last = parseDecimal(lastText);
    if (!last || *last < *first) {
        return std::nullopt;
    }
    // A last byte past the end means the remainder of the representation.
    return ByteRange{*first, std::min(*last, length - 1)};
}

} // namespace

std::optional<std::vector<ByteRange>> parseByteRanges(const QByteArray& value, uint64_t length) {
    const qsizetype equals = value.indexOf('=');
    if (equals < 0 || length == 0 ||
        value.left(equals).trimmed().compare("bytes", Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    std::vector<ByteRange> ranges;
    for (const QByteArray& element : value.mid(equals + 1).split(',')) {
        const QByteArray spec = element.trimmed();
        // Empty list elements are allowed by the list syntax of RFC 7230 section 7.
        if (spec.isEmpty()) {
            continue;
        }
        const std::optional<ByteRange> range = parseRangeSpec(spec, length);
        if (!range) {
            return std::nullopt;
        }
        ranges.push_back(*range);
    }
    // Many or overlapping ranges would let a short request ask for the same bytes again and
    // again; RFC 9110 section 14.2 lets the server ignore such a header and send the whole
    // representation instead.
    if (ranges.empty() || ranges.size() > kMaxRanges || anyOverlap(ranges)) {
        return std::nullopt;
    }
    return ranges;
}

} // namespace vaultora::webserver
