#pragma once

#include <array>
#include <cstdint>

#include "DatabaseModel.h"

namespace vaultora::kdb {

// Century, year within the century, month, day, hour, minute, second.
using UnpackedDate = std::array<uint8_t, 7>;
// The 40-bit form of the version-1 file: year 14 bits, month 4, day 5, hour 5, minute 6,
// second 6, most significant bit first.
using PackedDate = std::array<uint8_t, 5>;

// Converts between the date forms of the version-1 format.
class KeePass1Date {
public:
    KeePass1Date() = delete;

    // 2999-12-28 23:59:59, which the format uses for "never expires".
    static constexpr UnpackedDate kNeverExpires{29, 99, 12, 28, 23, 59, 59};

    static void dateFromPacked(UnpackedDate& destination, const PackedDate& packed) noexcept;
    // Only 14 bits of the year fit; years above 4095 lose their top bits.
    static void dateToPacked(const UnpackedDate& unpacked, PackedDate& destination) noexcept;
    // In the device's current calendar and time zone.
    static void dateFromNSDate(UnpackedDate& destination, KdbDate when) noexcept;
};

} // namespace vaultora::kdb
