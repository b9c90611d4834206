// The kind of device the window stands for, decided from the window's size.
#pragma once

#include <QSizeF>

namespace vaultora::toolkit {

enum class DeviceIdiom { Phone, Tablet };

// A window whose shorter side has at least this many points is laid out like a tablet.
inline constexpr double tabletMinimumShortSide = 600.0;

[[nodiscard]] DeviceIdiom idiomForWindowSize(const QSizeF& size);

} // namespace vaultora::toolkit
