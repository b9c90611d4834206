#include "ui/ArtworkPainter.h"

#include "ui/StandardIconPainter.h"
#include "ui/StandardIconShapes.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <functional>

namespace vaultora::ui {

namespace {

using Drawing = std::function<void(QPainter&)>;

// Every drawing works on a 64 by 64 canvas; the painter is scaled to the requested size.
constexpr double canvas = 64.0;

const QColor ink(60, 60, 60);

// The box of a registered database. Its front shows where the file comes from; the plain box,
// with a handle slot, stands for a source the menu does not know.
void drawShoebox(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(196, 150, 96));
    painter.drawRect(QRectF(10, 26, 44, 30));
    painter.setBrush(QColor(214, 172, 118));
    painter.drawRect(QRectF(6, 16, 52, 12));
}

void shoebox(QPainter& painter) {
    drawShoebox(painter);
    painter.drawLine(QPointF(26, 38), QPointF(38, 38));
}

// The marks on the box's front are dark on the light box, so they stay when it is tinted.
void useMark(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
}

// Downloaded from a web address: an arrow down into the box.
void shoeboxDownloaded(QPainter& painter) {
    drawShoebox(painter);
    useMark(painter);
    painter.drawPolygon(
        QPolygonF({{28, 30}, {36, 30}, {36, 40}, {43, 40}, {32, 52}, {21, 40}, {28, 40}}));
}

// Kept in the cloud (Dropbox): a cloud on the box.
void shoeboxFromCloud(QPainter& painter) {
    drawShoebox(painter);
    useMark(painter);
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QPointF(25, 44), 6, 6);
    cloud.addEllipse(QPointF(33, 39), 8, 8);
    cloud.addEllipse(QPointF(41, 44), 6, 6);
    cloud.addRoundedRect(QRectF(19, 43, 28, 8), 4, 4);
    painter.drawPath(cloud);
}

// Uploaded from a computer's browser: a computer screen on the box.
void shoeboxUploaded(QPainter& painter) {
    drawShoebox(painter);
    useMark(painter);
    QPainterPath screen;
    screen.addRoundedRect(QRectF(21, 31, 22, 15), 2, 2);
    QPainterPath glass;
    glass.addRect(QRectF(24.5, 34.5, 15, 8));
    painter.drawPath(screen.subtracted(glass));
    painter.drawRect(QRectF(30, 46, 4, 3));
    painter.drawRoundedRect(QRectF(25, 49, 14, 3), 1.5, 1.5);
}

void cabinet(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(150, 160, 176));
    painter.drawRoundedRect(QRectF(12, 4, 40, 56), 3, 3);
    // Drawer fronts lighter than the body and handles dark, so the drawers stay apart when the
    // image is tinted.
    painter.setPen(QPen(ink, 4));
    painter.setBrush(QColor(214, 220, 228));
    for (double top : {9.0, 26.0, 43.0}) {
        painter.drawRect(QRectF(17, top, 30, 12));
        painter.drawLine(QPointF(27, top + 6), QPointF(37, top + 6));
    }
}

void gear(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(130, 136, 146));
    painter.drawPath(icons::gearPath(10));
}

void medicalBag(QPainter& painter) {
    // The handle: dark edges round a light grip, so that it keeps its shape when tinted.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 8));
    painter.drawRoundedRect(QRectF(22, 8, 20, 14), 4, 4);
    painter.setPen(QPen(QColor(200, 204, 210), 3));
    painter.drawRoundedRect(QRectF(22, 8, 20, 14), 4, 4);
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(190, 52, 52));
    painter.drawRoundedRect(QRectF(5, 18, 54, 40), 6, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(27, 25, 10, 26));
    painter.drawRect(QRectF(19, 33, 26, 10));
}

void signpost(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(120, 90, 60));
    painter.drawRect(QRectF(29, 8, 6, 50));
    painter.setBrush(QColor(90, 150, 90));
    painter.drawPolygon(QPolygonF({{10, 12}, {48, 12}, {56, 19}, {48, 26}, {10, 26}}));
    painter.drawPolygon(QPolygonF({{54, 32}, {16, 32}, {8, 39}, {16, 46}, {54, 46}}));
}

// The Dropbox picker's rows: a folder to step into and a file to choose.
void folder(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(214, 176, 92));
    painter.drawPolygon(QPolygonF({{6, 14}, {24, 14}, {30, 20}, {58, 20}, {58, 52}, {6, 52}}));
    painter.setBrush(QColor(236, 200, 112));
    painter.drawRect(QRectF(6, 26, 52, 26));
}

void file(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(246, 246, 246));
    painter.drawPolygon(QPolygonF({{14, 6}, {40, 6}, {52, 18}, {52, 58}, {14, 58}}));
    painter.drawPolyline(QPolygonF({{40, 6}, {40, 18}, {52, 18}}));
    for (double line : {28.0, 37.0, 46.0}) {
        painter.drawLine(QPointF(22, line), QPointF(44, line));
    }
}

void lock(QPainter& painter) {
    painter.setPen(QPen(ink, 5));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(18, 6, 28, 34), 0, 180 * 16);
    painter.drawLine(QPointF(18, 23), QPointF(18, 30));
    painter.drawLine(QPointF(46, 23), QPointF(46, 30));
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(220, 180, 60));
    painter.drawRoundedRect(QRectF(10, 28, 44, 30), 4, 4);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(32, 40), 4, 4);
    painter.drawRect(QRectF(31, 42, 2, 8));
}

void fullscreen(QPainter& painter) {
    painter.setPen(QPen(ink, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const std::array<QPolygonF, 4> corners{
        QPolygonF({{8, 24}, {8, 8}, {24, 8}}), QPolygonF({{40, 8}, {56, 8}, {56, 24}}),
        QPolygonF({{56, 40}, {56, 56}, {40, 56}}), QPolygonF({{24, 56}, {8, 56}, {8, 40}})};
    for (const QPolygonF& corner : corners) {
        painter.drawPolyline(corner);
    }
    painter.drawLine(QPointF(10, 10), QPointF(24, 24));
    painter.drawLine(QPointF(54, 10), QPointF(40, 24));
    painter.drawLine(QPointF(54, 54), QPointF(40, 40));
    painter.drawLine(QPointF(10, 54), QPointF(24, 40));
}

void backgroundTile(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, canvas, canvas), QColor(38, 40, 44));
    painter.setPen(QPen(QColor(46, 49, 54), 1));
    for (double offset = -canvas; offset < canvas; offset += 8.0) {
        painter.drawLine(QPointF(offset, canvas), QPointF(offset + canvas, 0));
    }
}

void glow(QPainter& painter) {
    QRadialGradient light(QPointF(0, 32), 32);
    light.setColorAt(0.0, QColor(255, 255, 255, 200));
    light.setColorAt(0.5, QColor(190, 220, 255, 90));
    light.setColorAt(1.0, QColor(190, 220, 255, 0));
    painter.fillRect(QRectF(0, 0, canvas, canvas), light);
}

// "12.png" gives 12; anything else -1.
int iconNumber(const QString& name) {
    if (!name.endsWith(QLatin1String(".png"))) {
        return -1;
    }
    bool isNumber = false;
    const int number = name.chopped(4).toInt(&isNumber);
    return isNumber && number >= 0 && number < ArtworkPainter::iconCount &&
                   name.chopped(4) == QString::number(number)
               ? number
               : -1;
}

Drawing drawingFor(const QString& name) {
    static const QHash<QString, void (*)(QPainter&)> named{
        {QStringLiteral("44-shoebox"), shoebox},
        {QStringLiteral("44-shoebox-download"), shoeboxDownloaded},
        {QStringLiteral("44-shoebox-dropbox"), shoeboxFromCloud},
        {QStringLiteral("44-shoebox-upload"), shoeboxUploaded},
        {QStringLiteral("33-cabinet.png"), cabinet},
        {QStringLiteral("19-gear.png"), gear},
        {QStringLiteral("79-medical-bag.png"), medicalBag},
        {QStringLiteral("60-signpost.png"), signpost},
        {QStringLiteral("54-lock.png"), lock},
        {QStringLiteral("folder"), folder},
        {QStringLiteral("file"), file},
        {QStringLiteral("fullscreen.png"), fullscreen},
        {QStringLiteral("background.png"), backgroundTile},
        {QStringLiteral("NewGlow.png"), glow},
    };
    if (const auto found = named.constFind(name); found != named.constEnd()) {
        return *found;
    }
    if (const int number = iconNumber(name); number >= 0) {
        return StandardIconPainter::drawing(number);
    }
    return {};
}

// How much of a pixel's cover the tinted image keeps, by the pixel's lightness: light fills
// stay fully covered, dark outlines and marks nearly vanish. The menu's silhouettes so keep
// the inner lines of their drawings instead of becoming flat blobs.
double tintedCover(QRgb colour) {
    const double lightness =
        (0.2126 * qRed(colour) + 0.7152 * qGreen(colour) + 0.0722 * qBlue(colour)) / 255.0;
    constexpr double darkest = 0.18;
    constexpr double range = 0.4;
    constexpr double least = 0.12;
    return std::clamp((lightness - darkest) / range, least, 1.0);
}

void tint(QImage& image) {
    // Every pixel takes the menu's light grey; only its cover changes.
    const QColor grey(245, 245, 245);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = qUnpremultiply(line[x]);
            if (qAlpha(colour) == 0) {
                continue;
            }
            const int cover = qRound(qAlpha(colour) * tintedCover(colour));
            line[x] = qPremultiply(qRgba(grey.red(), grey.green(), grey.blue(), cover));
        }
    }
}

} // namespace

QSize ArtworkPainter::naturalSize(const QString& name) {
    if (name == QLatin1String("NewGlow.png")) {
        return {30, 43};
    }
    return {64, 64};
}

QImage ArtworkPainter::paint(const QString& name, const QSize& size) {
    const QString tintedPrefix = QStringLiteral("tinted/");
    const bool tinted = name.startsWith(tintedPrefix);
    const QString plainName = tinted ? name.mid(tintedPrefix.size()) : name;
    const Drawing drawing = drawingFor(plainName);
    if (!drawing) {
        return {};
    }
    // Sizes come from QML's source sizes; a side is bounded so that a mistaken huge request
    // draws a large image instead of failing to allocate one.
    constexpr int largestSide = 1024;
    const QSize target =
        (size.isEmpty() ? naturalSize(plainName) : size).boundedTo({largestSide, largestSide});
    QImage image(target, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(target.width() / canvas, target.height() / canvas);
        drawing(painter);
    }
    if (tinted) {
        tint(image);
    }
    return image;
}

} // namespace vaultora::ui
