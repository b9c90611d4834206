#include "KeePass1Date.h"

#include <ctime>

namespace vaultora::kdb {

void KeePass1Date::dateFromPacked(UnpackedDate& destination, const PackedDate& packed) noexcept {
    const unsigned year = (static_cast<unsigned>(packed[0]) << 6) | (packed[1] >> 2);
    const unsigned month = ((packed[1] & 0x03u) << 2) | (packed[2] >> 6);
    const unsigned day = (packed[2] >> 1) & 0x1Fu;
    const unsigned hour = ((packed[2] & 0x01u) << 4) | (packed[3] >> 4);
    const unsigned minute = ((packed[3] & 0x0Fu) << 2) | (packed[4] >> 6);
    const unsigned second = packed[4] & 0x3Fu;
    destination = {static_cast<uint8_t>(year / 100), static_cast<uint8_t>(year % 100),
                   static_cast<uint8_t>(month),      static_cast<uint8_t>(day),
                   static_cast<uint8_t>(hour),       static_cast<uint8_t>(minute),
                   static_cast<uint8_t>(second)};
}

void KeePass1Date::dateToPacked(const UnpackedDate& unpacked, PackedDate& destination) noexcept {
    const unsigned year = unpacked[0] * 100u + unpacked[1];
    const unsigned month = unpacked[2];
    const unsigned day = unpacked[3];
    const unsigned hour = unpacked[4];
    const unsigned minute = unpacked[5];
    const unsigned second = unpacked[6];
    destination = {static_cast<uint8_t>((year >> 6) & 0x3F),
                   static_cast<uint8_t>((year << 2) | ((month >> 2) & 0x03)),
                   static_cast<uint8_t>((month << 6) | ((day << 1) & 0x3E) | ((hour >> 4) & 0x01)),
                   static_cast<uint8_t>((hour << 4) | ((minute >> 2) & 0x0F)),
                   static_cast<uint8_t>((minute << 6) | (second & 0x3F))};
}

void KeePass1Date::dateFromNSDate(UnpackedDate& destination, KdbDate when) noexcept {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int year = local.tm_year + 1900;
    destination = {static_cast<uint8_t>(year / 100),       static_cast<uint8_t>(year % 100),
                   static_cast<uint8_t>(local.tm_mon + 1), static_cast<uint8_t>(local.tm_mday),
                   static_cast<uint8_t>(local.tm_hour),    static_cast<uint8_t>(local.tm_min),
                   static_cast<uint8_t>(local.tm_sec)};
}

} // namespace vaultora::kdb
