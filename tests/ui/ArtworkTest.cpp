#include "ui/ArtworkImageProvider.h"
#include "ui/ArtworkPainter.h"

#include <gtest/gtest.h>

namespace {

// Whether any pixel is drawn at all.
bool hasPaint(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(Artwork, EveryNamedImageAndIconNumberIsDrawn) {
    QStringList names{"44-shoebox",         "33-cabinet.png",  "19-gear.png",
                      "79-medical-bag.png", "60-signpost.png", "54-lock.png",
                      "fullscreen.png",     "background.png",  "NewGlow.png",
                      "folder",             "file"};
    for (int icon = 0; icon < vaultora::ui::ArtworkPainter::iconCount; ++icon) {
        names.append(QStringLiteral("%1.png").arg(icon));
    }
    for (const QString& name : names) {
        const QImage image = vaultora::ui::ArtworkPainter::paint(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_TRUE(hasPaint(image)) << name.toStdString();
    }
    // Neighbouring icon numbers look different.
    EXPECT_NE(vaultora::ui::ArtworkPainter::paint("0.png"),
              vaultora::ui::ArtworkPainter::paint("1.png"));
}

TEST(Artwork, UnknownNamesHaveNoImage) {
    for (const char* name : {"69.png", "-1.png", "007.png", "3", "shoebox", "tinted/nothing"}) {
        EXPECT_TRUE(vaultora::ui::ArtworkPainter::paint(QString::fromLatin1(name)).isNull())
            << name;
    }
}

TEST(Artwork, TintedImagesKeepTheShapeInLightGrey) {
    const QImage plain = vaultora::ui::ArtworkPainter::paint("54-lock.png");
    const QImage tinted = vaultora::ui::ArtworkPainter::paint("tinted/54-lock.png");
    ASSERT_EQ(plain.size(), tinted.size());
    for (int y = 0; y < tinted.height(); ++y) {
        for (int x = 0; x < tinted.width(); ++x) {
            const QColor pixel = QColor::fromRgba(tinted.pixel(x, y));
            ASSERT_EQ(pixel.alpha(), qAlpha(plain.pixel(x, y)));
            if (pixel.alpha() == 255) {
                ASSERT_EQ(pixel.rgb(), QColor(245, 245, 245).rgb());
            }
        }
    }
}

TEST(Artwork, ProviderDrawsAtTheRequestedSize) {
    vaultora::ui::ArtworkImageProvider provider;
    QSize size;
    const QImage image = provider.requestImage("12.png", &size, QSize(24, 24));
    EXPECT_EQ(image.size(), QSize(24, 24));
    EXPECT_EQ(size, QSize(24, 24));
    EXPECT_EQ(provider.requestImage("NewGlow.png", &size, QSize()).size(), QSize(30, 43));
    EXPECT_TRUE(provider.requestImage("missing", &size, QSize()).isNull());
}

} // namespace
