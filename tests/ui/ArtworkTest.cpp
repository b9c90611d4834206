#include "ui/ArtworkImageProvider.h"
#include "ui/ArtworkPainter.h"

#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <vector>

namespace {

using vaultora::ui::ArtworkPainter;

QString iconName(int number) {
    return QStringLiteral("%1.png").arg(number);
}

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

// The share of pixels in which two images of one size differ.
double differingShare(const QImage& first, const QImage& second) {
    int differing = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (first.pixel(x, y) != second.pixel(x, y)) {
                ++differing;
            }
        }
    }
    return static_cast<double>(differing) / (first.width() * first.height());
}

// Where the image is covered at all, as a string of bits: the silhouette of the drawing.
QByteArray silhouette(const QImage& image) {
    QByteArray bits;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            bits.append(qAlpha(image.pixel(x, y)) > 127 ? '1' : '0');
        }
    }
    return bits;
}

// The number of separate 4-connected regions of pixels whose cover is at least the threshold.
int regionsCoveredAtLeast(const QImage& image, int threshold) {
    const int width = image.width();
    const int height = image.height();
    std::vector<bool> seen(static_cast<std::size_t>(width * height), false);
    int regions = 0;
    for (int start = 0; start < width * height; ++start) {
        if (seen[static_cast<std::size_t>(start)] ||
            qAlpha(image.pixel(start % width, start / width)) < threshold) {
            continue;
        }
        ++regions;
        std::vector<int> pending{start};
        seen[static_cast<std::size_t>(start)] = true;
        while (!pending.empty()) {
            const int at = pending.back();
            pending.pop_back();
            const int x = at % width;
            const int y = at / width;
            for (const auto& [nextX, nextY] : {std::pair{x - 1, y}, std::pair{x + 1, y},
                                               std::pair{x, y - 1}, std::pair{x, y + 1}}) {
                const int next = nextY * width + nextX;
                if (nextX < 0 || nextY < 0 || nextX >= width || nextY >= height ||
                    seen[static_cast<std::size_t>(next)] ||
                    qAlpha(image.pixel(nextX, nextY)) < threshold) {
                    continue;
                }
                seen[static_cast<std::size_t>(next)] = true;
                pending.push_back(next);
            }
        }
    }
    return regions;
}

// The group and entry icons used to be eight glyphs on a coloured badge, cycled by icon
// number; this draws that scheme's icon of a number so that the tests can tell it apart.
QImage cycledGlyphIcon(int number, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 64.0, size.height() / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((number * 47) % 360, 150, 200));
    painter.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    if (number % 8 == 0) { // the key
        painter.drawEllipse(QPointF(22, 32), 9, 9);
        painter.drawLine(QPointF(31, 32), QPointF(50, 32));
        painter.drawLine(QPointF(44, 32), QPointF(44, 40));
        painter.drawLine(QPointF(50, 32), QPointF(50, 39));
    } else if (number % 8 == 3) { // the envelope
        painter.drawRect(QRectF(14, 20, 36, 26));
        painter.drawPolyline(QPolygonF({{14, 20}, {32, 35}, {50, 20}}));
    }
    return image;
}

TEST(Artwork, EveryNamedImageAndIconNumberIsDrawn) {
    QStringList names{"44-shoebox",
                      "44-shoebox-download",
                      "44-shoebox-dropbox",
                      "44-shoebox-upload",
                      "33-cabinet.png",
                      "19-gear.png",
                      "79-medical-bag.png",
                      "60-signpost.png",
                      "54-lock.png",
                      "fullscreen.png",
                      "background.png",
                      "NewGlow.png",
                      "folder",
                      "file"};
    for (int icon = 0; icon < ArtworkPainter::iconCount; ++icon) {
        names.append(iconName(icon));
    }
    for (const QString& name : names) {
        const QImage image = ArtworkPainter::paint(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_TRUE(hasPaint(image)) << name.toStdString();
    }
}

TEST(Artwork, EveryStandardIconHasADrawingOfItsOwnAtListSize) {
    ASSERT_EQ(ArtworkPainter::iconCount, 69);
    const QSize listSize(32, 32);
    std::vector<QImage> icons;
    QSet<QByteArray> silhouettes;
    for (int number = 0; number < ArtworkPainter::iconCount; ++number) {
        icons.push_back(ArtworkPainter::paint(iconName(number), listSize));
        silhouettes.insert(silhouette(icons.back()));
    }
    // Icons that share a drawing and differ only in a mark at a corner must still differ in
    // a noticeable part of their pixels, not in a few.
    for (std::size_t first = 0; first < icons.size(); ++first) {
        for (std::size_t second = first + 1; second < icons.size(); ++second) {
            EXPECT_GT(differingShare(icons[first], icons[second]), 0.08)
                << "icons " << first << " and " << second << " look alike";
        }
    }
    // Glyphs on one common badge would give every icon the same outline.
    EXPECT_GE(silhouettes.size(), 60) << "most icons have an outline of their own";
}

TEST(Artwork, BinAndDefaultFolderAreNoLongerCycledGlyphs) {
    for (const int number : {43, 48}) {
        const QSize size(32, 32);
        EXPECT_GT(differingShare(ArtworkPainter::paint(iconName(number), size),
                                 cycledGlyphIcon(number, size)),
                  0.5)
            << number;
        EXPECT_NE(silhouette(ArtworkPainter::paint(iconName(number), size)),
                  silhouette(cycledGlyphIcon(number, size)))
            << number;
    }
    // A bin stands upright, a closed folder lies wide.
    const auto coveredBounds = [](const QImage& image) {
        QRect bounds;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) > 127) {
                    bounds |= QRect(x, y, 1, 1);
                }
            }
        }
        return bounds;
    };
    const QRect bin = coveredBounds(ArtworkPainter::paint(iconName(43)));
    const QRect folder = coveredBounds(ArtworkPainter::paint(iconName(48)));
    EXPECT_GT(bin.height(), bin.width());
    EXPECT_GT(folder.width(), folder.height());
}

TEST(Artwork, UnknownNamesHaveNoImage) {
    for (const char* name : {"69.png", "-1.png", "007.png", "3", "shoebox", "tinted/nothing",
                             "44-shoebox-ftp", "2147483648.png", ".png", "tinted/"}) {
        EXPECT_TRUE(ArtworkPainter::paint(QString::fromLatin1(name)).isNull()) << name;
    }
}

TEST(Artwork, TintedImagesAreLightGreyWithinTheShape) {
    for (const char* name : {"54-lock.png", "33-cabinet.png", "44-shoebox-dropbox", "12.png"}) {
        const QImage plain = ArtworkPainter::paint(QString::fromLatin1(name));
        const QImage tinted = ArtworkPainter::paint(QStringLiteral("tinted/") + name);
        ASSERT_EQ(plain.size(), tinted.size());
        for (int y = 0; y < tinted.height(); ++y) {
            for (int x = 0; x < tinted.width(); ++x) {
                const QRgb pixel = qUnpremultiply(tinted.pixel(x, y));
                ASSERT_LE(qAlpha(pixel), qAlpha(plain.pixel(x, y))) << name;
                if (qAlpha(plain.pixel(x, y)) == 255) {
                    ASSERT_GT(qAlpha(pixel), 0) << name << " keeps every opaque pixel";
                }
                if (qAlpha(pixel) >= 128) {
                    ASSERT_NEAR(qRed(pixel), 245, 2) << name;
                    ASSERT_EQ(qRed(pixel), qGreen(pixel)) << name;
                    ASSERT_EQ(qGreen(pixel), qBlue(pixel)) << name;
                }
            }
        }
    }
}

TEST(Artwork, TintedMenuIconsKeepTheirInnerDetailAtMenuSize) {
    // The menu draws its icons at 28 points.
    const QSize menuSize(28, 28);
    for (const char* name : {"33-cabinet.png", "79-medical-bag.png"}) {
        const QImage plain = ArtworkPainter::paint(QString::fromLatin1(name), menuSize);
        const QImage tinted = ArtworkPainter::paint(QStringLiteral("tinted/") + name, menuSize);
        int opaque = 0;
        int bright = 0;
        int dim = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (qAlpha(plain.pixel(x, y)) < 255) {
                    continue;
                }
                ++opaque;
                const int cover = qAlpha(tinted.pixel(x, y));
                bright += cover >= 200 ? 1 : 0;
                dim += cover < 160 ? 1 : 0;
            }
        }
        ASSERT_GT(opaque, 0) << name;
        EXPECT_GT(bright, opaque / 5) << name << ": the light parts stay light";
        EXPECT_GT(dim, opaque / 10) << name << ": the inner lines stay apart from them";
    }
    // The three drawers stay three, the bag keeps its cross apart from its handle.
    EXPECT_GE(regionsCoveredAtLeast(ArtworkPainter::paint("tinted/33-cabinet.png", menuSize), 200),
              3);
    EXPECT_GE(
        regionsCoveredAtLeast(ArtworkPainter::paint("tinted/79-medical-bag.png", menuSize), 200),
        2);
}

TEST(Artwork, TintedDatabaseBoxesStayApartAtMenuSize) {
    const QSize menuSize(28, 28);
    const QStringList boxes{"44-shoebox", "44-shoebox-download", "44-shoebox-dropbox",
                            "44-shoebox-upload"};
    for (qsizetype first = 0; first < boxes.size(); ++first) {
        for (qsizetype second = first + 1; second < boxes.size(); ++second) {
            EXPECT_GT(
                differingShare(
                    ArtworkPainter::paint(QStringLiteral("tinted/") + boxes[first], menuSize),
                    ArtworkPainter::paint(QStringLiteral("tinted/") + boxes[second], menuSize)),
                0.04)
                << boxes[first].toStdString() << " and " << boxes[second].toStdString();
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
    // Odd sizes are drawn as asked; a huge request is bounded instead of failing to allocate.
    for (const QSize odd : {QSize(1, 1), QSize(3, 500), QSize(500, 3)}) {
        EXPECT_EQ(provider.requestImage("48.png", &size, odd).size(), odd);
    }
    const QImage huge = provider.requestImage("43.png", &size, QSize(100000, 100000));
    EXPECT_FALSE(huge.isNull());
    EXPECT_LE(huge.width(), 1024);
    EXPECT_EQ(size, huge.size());
}

} // namespace
