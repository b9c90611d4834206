// The application's artwork, drawn for this project with QPainter: the menu icons, the icons of
// groups and entries ("0.png" to "68.png"), the full-screen button, the menu's background tile
// and the glow of a selected menu row. A name prefixed "tinted/" gives the image's shape in
// the light grey of the menu, without its own colours.
#pragma once

#include "ui/StandardIconPainter.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace vaultora::ui {

class ArtworkPainter final {
public:
    // The icon numbers of groups and entries that have an image.
    static constexpr int iconCount = StandardIconPainter::iconCount;

    ArtworkPainter() = delete;

    // The image of that name at the size (its natural size when the size is empty); a null
    // image for a name that has none. Neither side exceeds 1024 pixels.
    [[nodiscard]] static QImage paint(const QString& name, const QSize& size = {});
    [[nodiscard]] static QSize naturalSize(const QString& name);
};

} // namespace vaultora::ui
