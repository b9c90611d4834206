#include "ui/ArtworkPainter.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <array>
#include <functional>

namespace vaultora::ui {

namespace {

using Drawing = std::function<void(QPainter&)>;

// Every drawing works on a 64 by 64 canvas; the painter is scaled to the requested size.
constexpr double canvas = 64.0;

const QColor ink(60, 60, 60);

void shoebox(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(196, 150, 96));
    painter.drawRect(QRectF(10, 26, 44, 28));
    painter.setBrush(QColor(214, 172, 118));
    painter.drawRect(QRectF(6, 16, 52, 12));
    painter.drawLine(QPointF(26, 36), QPointF(38, 36));
}

void cabinet(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(QColor(150, 160, 176));
    painter.drawRoundedRect(QRectF(14, 6, 36, 52), 3, 3);
    for (double top : {10.0, 27.0, 44.0}) {
        painter.drawRect(QRectF(18, top, 28, 12));
        painter.drawLine(QPointF(28, top + 6), QPointF(36, top + 6));
    }
}

void gear(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(130, 136, 146));
    QPainterPath teeth;
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(32, 32);
        turn.rotate(tooth * 45.0);
        QPainterPath one;
        one.addRect(QRectF(-5, -29, 10, 12));
        teeth.addPath(turn.map(one));
    }
    QPainterPath body;
    body.addEllipse(QPointF(32, 32), 20, 20);
    QPainterPath hole;
    hole.addEllipse(QPointF(32, 32), 8, 8);
    painter.drawPath(teeth.united(body).subtracted(hole));
}

void medicalBag(QPainter& painter) {
    painter.setPen(QPen(ink, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(24, 8, 16, 12), 3, 3);
    painter.setBrush(QColor(200, 60, 60));
    painter.drawRoundedRect(QRectF(6, 16, 52, 40), 6, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(28, 24, 8, 24));
    painter.drawRect(QRectF(20, 32, 24, 8));
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

// The glyphs of the group and entry icons; icon n shows glyph n modulo their number on a
// badge of its own hue.
void glyphKey(QPainter& painter) {
    painter.drawEllipse(QPointF(22, 32), 9, 9);
    painter.drawLine(QPointF(31, 32), QPointF(50, 32));
    painter.drawLine(QPointF(44, 32), QPointF(44, 40));
    painter.drawLine(QPointF(50, 32), QPointF(50, 39));
}

void glyphGlobe(QPainter& painter) {
    painter.drawEllipse(QPointF(32, 32), 18, 18);
    painter.drawEllipse(QPointF(32, 32), 8, 18);
    painter.drawLine(QPointF(14, 32), QPointF(50, 32));
}

void glyphFolder(QPainter& painter) {
    painter.drawPolygon(QPolygonF({{14, 20}, {28, 20}, {32, 25}, {50, 25}, {50, 46}, {14, 46}}));
}

void glyphEnvelope(QPainter& painter) {
    painter.drawRect(QRectF(14, 20, 36, 26));
    painter.drawPolyline(QPolygonF({{14, 20}, {32, 35}, {50, 20}}));
}

void glyphStar(QPainter& painter) {
    QPolygonF star;
    for (int point = 0; point < 10; ++point) {
        const double radius = point % 2 == 0 ? 19.0 : 8.0;
        const double angle = qDegreesToRadians(-90.0 + point * 36.0);
        star << QPointF(32 + radius * std::cos(angle), 33 + radius * std::sin(angle));
    }
    painter.drawPolygon(star);
}

void glyphCard(QPainter& painter) {
    painter.drawRoundedRect(QRectF(12, 20, 40, 26), 3, 3);
    painter.drawLine(QPointF(12, 28), QPointF(52, 28));
    painter.drawLine(QPointF(18, 38), QPointF(30, 38));
}

void glyphDocument(QPainter& painter) {
    painter.drawPolygon(QPolygonF({{20, 12}, {38, 12}, {46, 20}, {46, 52}, {20, 52}}));
    for (double line : {26.0, 33.0, 40.0}) {
        painter.drawLine(QPointF(25, line), QPointF(41, line));
    }
}

void glyphPerson(QPainter& painter) {
    painter.drawEllipse(QPointF(32, 23), 8, 8);
    painter.drawArc(QRectF(16, 34, 32, 28), 0, 180 * 16);
}

const std::array<void (*)(QPainter&), 8> glyphs{glyphKey,  glyphGlobe, glyphFolder,   glyphEnvelope,
                                                glyphStar, glyphCard,  glyphDocument, glyphPerson};

Drawing iconDrawing(int number) {
    return [number](QPainter& painter) {
        const QColor badge = QColor::fromHsv((number * 47) % 360, 150, 200);
        painter.setPen(Qt::NoPen);
        painter.setBrush(badge);
        painter.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        glyphs.at(static_cast<std::size_t>(number) % glyphs.size())(painter);
    };
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
        return iconDrawing(number);
    }
    return {};
}

void tint(QImage& image) {
    // Keeps the shape (the alpha) and paints it all in the menu's light grey.
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), QColor(245, 245, 245));
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
    const QSize target = size.isEmpty() ? naturalSize(plainName) : size;
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
