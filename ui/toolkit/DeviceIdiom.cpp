#include "ui/toolkit/DeviceIdiom.h"

#include <algorithm>

namespace vaultora::toolkit {

DeviceIdiom idiomForWindowSize(const QSizeF& size) {
    const double shortSide = std::min(size.width(), size.height());
    return shortSide >= tabletMinimumShortSide ? DeviceIdiom::Tablet : DeviceIdiom::Phone;
}

} // namespace vaultora::toolkit
