#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconPainter.h"
#include "ui/StandardIconShapes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>

namespace {

using vaultora::ui::StandardIconPainter;
namespace icons = vaultora::ui::icons;

TEST(StandardIcons, FamiliesTogetherDrawEveryNumberExactlyOnce) {
    std::map<int, int> drawings;
    for (const auto family : {icons::paperIcons(), icons::deviceIcons(), icons::networkIcons(),
                              icons::storageIcons(), icons::symbolIcons(), icons::objectIcons()}) {
        for (const icons::StandardIcon& icon : family) {
            ++drawings[icon.number];
            EXPECT_NE(icon.draw, nullptr) << icon.number;
        }
    }
    ASSERT_EQ(drawings.size(), static_cast<std::size_t>(StandardIconPainter::iconCount));
    for (const auto& [number, count] : drawings) {
        EXPECT_GE(number, 0);
        EXPECT_LT(number, StandardIconPainter::iconCount);
        EXPECT_EQ(count, 1) << "icon " << number << " is drawn by more than one family";
    }
    EXPECT_EQ(StandardIconPainter::drawing(-1), nullptr);
    EXPECT_EQ(StandardIconPainter::drawing(StandardIconPainter::iconCount), nullptr);
}

// Draws the icon in the middle of a larger image, so that whatever it paints beyond its
// 64 by 64 canvas shows instead of being cut off.
QImage drawnWithMargin(StandardIconPainter::Drawing drawing, int margin) {
    QImage image(64 + 2 * margin, 64 + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(margin, margin);
    drawing(painter);
    return image;
}

TEST(StandardIcons, StayWithinTheirCanvasAndShareTheOutline) {
    constexpr int margin = 16;
    for (int number = 0; number < StandardIconPainter::iconCount; ++number) {
        const QImage image = drawnWithMargin(StandardIconPainter::drawing(number), margin);
        int outside = 0;
        int outline = 0;
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0) {
                    continue;
                }
                ++drawn;
                const QRect canvas(margin, margin, 64, 64);
                outside += canvas.contains(x, y) ? 0 : 1;
                const QColor ink = icons::palette::ink;
                outline += qAlpha(pixel) == 255 && qAbs(qRed(pixel) - ink.red()) < 8 &&
                                   qAbs(qGreen(pixel) - ink.green()) < 8 &&
                                   qAbs(qBlue(pixel) - ink.blue()) < 8
                               ? 1
                               : 0;
            }
        }
        EXPECT_EQ(outside, 0) << "icon " << number << " reaches past its canvas";
        EXPECT_GT(outline, drawn / 20) << "icon " << number << " lacks the set's outline";
    }
}

} // namespace
