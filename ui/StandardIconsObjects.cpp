#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace vaultora::ui::icons {

namespace {

void key(QPainter& painter) {
    drawKey(painter, QPointF(15, 45), -38, 1.1, palette::gold);
}

void parts(QPainter& painter) {
    // A puzzle piece: knobs out at the top and right, a socket in at the left.
    QPainterPath piece;
    piece.addRect(QRectF(10, 18, 38, 38));
    QPainterPath knobs;
    knobs.addEllipse(QPointF(29, 14), 7, 7);
    knobs.addEllipse(QPointF(52, 37), 7, 7);
    QPainterPath socket;
    socket.addEllipse(QPointF(10, 37), 7, 7);
    useOutline(painter, palette::green);
    painter.drawPath(piece.united(knobs).subtracted(socket));
}

void keys(QPainter& painter) {
    // Two keys fanned out on one ring.
    useStroke(painter, palette::ink, 7);
    painter.drawEllipse(QPointF(15, 15), 10, 10);
    useStroke(painter, palette::metal, 3);
    painter.drawEllipse(QPointF(15, 15), 10, 10);
    drawKey(painter, QPointF(28, 21), 12, 0.8, palette::metal);
    drawKey(painter, QPointF(21, 29), 68, 0.8, palette::gold);
}

void gear(QPainter& painter) {
    useOutline(painter, palette::metal);
    painter.drawPath(gearPath(11));
}

void sliders(QPainter& painter) {
    const std::array<double, 3> knobs{40, 20, 34};
    for (std::size_t slider = 0; slider < knobs.size(); ++slider) {
        const double x = 14 + static_cast<double>(slider) * 18;
        useStroke(painter, palette::ink, 4);
        painter.drawLine(QPointF(x, 6), QPointF(x, 58));
        useOutline(painter, palette::blue);
        painter.drawRoundedRect(QRectF(x - 7, knobs.at(slider) - 5, 14, 10), 3, 3);
    }
}

void bank(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawPolygon(QPolygonF({{32, 3}, {60, 20}, {4, 20}}));
    useOutline(painter, palette::paperShade);
    for (double x : {9.0, 21.0, 36.0, 48.0}) {
        painter.drawRect(QRectF(x, 24, 7, 26));
    }
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(4, 20, 56, 5));
    painter.drawRect(QRectF(4, 50, 56, 5));
    painter.drawRect(QRectF(2, 55, 60, 5));
    useFill(painter, palette::gold);
    painter.drawEllipse(QPointF(32, 13), 3.5, 3.5);
}

void openLock(QPainter& painter) {
    drawPadlock(painter, QRectF(14, 34, 36, 26), true);
}

void thumbnail(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(4, 8, 56, 48));
    useFill(painter, palette::lightBlue);
    painter.drawRect(QRectF(9, 13, 46, 38));
    useFill(painter, palette::yellow);
    painter.drawEllipse(QPointF(44, 23), 5, 5);
    useFill(painter, palette::green);
    painter.drawPolygon(
        QPolygonF({{9, 51}, {9, 40}, {22, 26}, {36, 42}, {44, 35}, {55, 46}, {55, 51}}));
    useStroke(painter, palette::ink, outlineWidth);
    painter.drawRect(QRectF(9, 13, 46, 38));
}

void drawPerson(QPainter& painter, const QPointF& head, double size, const QColor& shirt) {
    useOutline(painter, shirt);
    painter.drawChord(QRectF(head.x() - size, head.y() + size * 0.55, size * 2, size * 2.2), 0,
                      180 * 16);
    useOutline(painter, palette::skin);
    painter.drawEllipse(head, size * 0.55, size * 0.55);
}

void userKey(QPainter& painter) {
    drawPerson(painter, QPointF(24, 18), 20, palette::blue);
    drawKey(painter, QPointF(36, 48), -25, 0.55, palette::gold);
}

void hammer(QPainter& painter) {
    painter.save();
    painter.translate(31, 34);
    painter.rotate(45);
    painter.scale(0.92, 0.92);
    useOutline(painter, palette::brown);
    painter.drawRoundedRect(QRectF(-4, -12, 8, 42), 3, 3);
    useOutline(painter, palette::darkMetal);
    QPainterPath head;
    head.moveTo(-22, -24);
    head.lineTo(12, -24);
    head.lineTo(18, -28);
    head.lineTo(18, -12);
    head.lineTo(12, -14);
    head.lineTo(-22, -14);
    head.closeSubpath();
    painter.drawPath(head);
    painter.restore();
}

void home(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(12, 28, 40, 30));
    useOutline(painter, palette::brown);
    painter.drawRect(QRectF(40, 8, 7, 14));
    useOutline(painter, palette::red);
    painter.drawPolygon(QPolygonF({{32, 5}, {61, 31}, {3, 31}}));
    useOutline(painter, palette::brown);
    painter.drawRect(QRectF(18, 38, 11, 20));
    useOutline(painter, palette::lightBlue, 2.5);
    painter.drawRect(QRectF(35, 37, 11, 10));
}

void penguin(QPainter& painter) {
    useOutline(painter, palette::orange);
    painter.drawEllipse(QPointF(23, 58), 8, 4);
    painter.drawEllipse(QPointF(41, 58), 8, 4);
    useOutline(painter, palette::screen);
    painter.drawEllipse(QRectF(12, 4, 40, 56));
    useFill(painter, palette::paper);
    painter.drawEllipse(QRectF(19, 22, 26, 34));
    painter.drawEllipse(QPointF(26, 16), 4.5, 5);
    painter.drawEllipse(QPointF(38, 16), 4.5, 5);
    useFill(painter, palette::ink);
    painter.drawEllipse(QPointF(27, 17), 2, 2.4);
    painter.drawEllipse(QPointF(37, 17), 2, 2.4);
    useOutline(painter, palette::orange, 2);
    painter.drawPolygon(QPolygonF({{26, 23}, {38, 23}, {32, 30}}));
}

void apple(QPainter& painter) {
    useStroke(painter, palette::brown.darker(130), 4);
    painter.drawLine(QPointF(32, 18), QPointF(34, 6));
    useOutline(painter, palette::green);
    QPainterPath leaf;
    leaf.moveTo(35, 12);
    leaf.cubicTo(40, 2, 50, 2, 54, 6);
    leaf.cubicTo(50, 14, 42, 16, 35, 12);
    painter.drawPath(leaf);
    // Two rounded halves meeting in a dip at the top and the bottom.
    QPainterPath fruit;
    fruit.moveTo(32, 20);
    fruit.cubicTo(44, 10, 62, 18, 58, 38);
    fruit.cubicTo(55, 54, 44, 62, 32, 56);
    fruit.cubicTo(20, 62, 9, 54, 6, 38);
    fruit.cubicTo(2, 18, 20, 10, 32, 20);
    useOutline(painter, palette::red);
    painter.drawPath(fruit);
    useFill(painter, QColor(255, 255, 255, 140));
    painter.drawEllipse(QPointF(18, 30), 4, 7);
}

void money(QPainter& painter) {
    painter.save();
    painter.translate(30, 26);
    painter.rotate(-12);
    useOutline(painter, palette::lightGreen);
    painter.drawRect(QRectF(-23, -14, 46, 28));
    useOutline(painter, palette::green, 2.5);
    painter.drawEllipse(QPointF(0, 0), 8, 8);
    painter.restore();
    for (int coin = 0; coin < 3; ++coin) {
        useOutline(painter, palette::gold);
        painter.drawEllipse(QRectF(32, 48 - coin * 6, 26, 12));
    }
    useStroke(painter, QColor(180, 130, 20), 2);
    painter.drawEllipse(QRectF(38, 38, 14, 6));
}

constexpr std::array family{
    StandardIcon{0, key},       StandardIcon{6, parts},      StandardIcon{13, keys},
    StandardIcon{20, gear},     StandardIcon{34, sliders},   StandardIcon{37, bank},
    StandardIcon{51, openLock}, StandardIcon{55, thumbnail}, StandardIcon{58, userKey},
    StandardIcon{59, hammer},   StandardIcon{60, home},      StandardIcon{62, penguin},
    StandardIcon{64, apple},    StandardIcon{66, money},
};

} // namespace

std::span<const StandardIcon> objectIcons() {
    return family;
}

} // namespace vaultora::ui::icons
