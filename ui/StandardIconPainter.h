// The 69 standard icons of groups and entries (numbers 0 to 68, as the KeePass file formats
// number them), drawn for this project in one flat, outlined style on the 64 by 64 canvas.
#pragma once

#include <QPainter>

namespace vaultora::ui {

class StandardIconPainter final {
public:
    static constexpr int iconCount = 69;
    using Drawing = void (*)(QPainter& painter);

    StandardIconPainter() = delete;

    // The drawing of the icon number, or null for a number outside the set.
    [[nodiscard]] static Drawing drawing(int number);
};

} // namespace vaultora::ui
