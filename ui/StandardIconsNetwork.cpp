#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace vaultora::ui::icons {

namespace {

void world(QPainter& painter) {
    drawGlobe(painter, QPointF(32, 32), 27);
}

void drawSpeechBubble(QPainter& painter, const QRectF& area, bool tailLeft, const QColor& fill) {
    QPainterPath bubble;
    bubble.addRoundedRect(area, area.height() * 0.4, area.height() * 0.4);
    const double tailX =
        tailLeft ? area.left() + area.width() * 0.25 : area.right() - area.width() * 0.25;
    const double tipX = tailLeft ? area.left() + 2 : area.right() - 2;
    QPainterPath tail;
    tail.moveTo(tailX - 5, area.bottom() - 4);
    tail.lineTo(tipX, area.bottom() + 9);
    tail.lineTo(tailX + 5, area.bottom() - 4);
    tail.closeSubpath();
    useOutline(painter, fill);
    painter.drawPath(bubble.united(tail));
}

void communication(QPainter& painter) {
    drawSpeechBubble(painter, QRectF(3, 5, 40, 26), true, palette::lightBlue);
    drawSpeechBubble(painter, QRectF(21, 25, 40, 26), false, palette::paper);
    useFill(painter, palette::darkMetal);
    for (double x : {32.0, 41.0, 50.0}) {
        painter.drawEllipse(QPointF(x, 38), 2.8, 2.8);
    }
}

void worldWithPlug(QPainter& painter) {
    drawGlobe(painter, QPointF(26, 26), 22);
    // The cord, then the plug with its two pins.
    useStroke(painter, palette::ink, 4);
    painter.drawLine(QPointF(45, 50), QPointF(58, 60));
    painter.save();
    painter.translate(44, 46);
    painter.rotate(45);
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(QRectF(-8, -9, 16, 14), 3, 3);
    useOutline(painter, palette::metal, 2);
    painter.drawRect(QRectF(-6, -17, 4, 8));
    painter.drawRect(QRectF(2, -17, 4, 8));
    painter.restore();
}

void worldWithStar(QPainter& painter) {
    drawGlobe(painter, QPointF(28, 28), 24);
    drawStar(painter, QPointF(46, 46), 16, 7, palette::yellow);
}

void email(QPainter& painter) {
    drawEnvelope(painter, QRectF(4, 14, 56, 38));
}

void mailbox(QPainter& painter) {
    useOutline(painter, palette::brown);
    painter.drawRect(QRectF(36, 44, 8, 18));
    // The box seen from the side, with its round top; its door faces the viewer at the left.
    QPainterPath box;
    box.moveTo(6, 46);
    box.lineTo(6, 28);
    box.arcTo(QRectF(6, 14, 28, 28), 180, -90);
    box.lineTo(44, 14);
    box.arcTo(QRectF(30, 14, 28, 28), 90, -90);
    box.lineTo(58, 46);
    box.closeSubpath();
    useOutline(painter, palette::blue);
    painter.drawPath(box);
    QPainterPath door;
    door.moveTo(6, 46);
    door.lineTo(6, 28);
    door.arcTo(QRectF(6, 14, 24, 28), 180, -180);
    door.lineTo(30, 46);
    door.closeSubpath();
    useOutline(painter, palette::lightBlue);
    painter.drawPath(door);
    useFill(painter, palette::ink);
    painter.drawRect(QRectF(15, 30, 6, 3));
    // The flag, raised.
    useOutline(painter, palette::red, 2);
    painter.drawRect(QRectF(48, 6, 4, 26));
    painter.drawRect(QRectF(48, 6, 12, 9));
}

void emailSearch(QPainter& painter) {
    drawEnvelope(painter, QRectF(3, 8, 48, 32));
    drawMagnifier(painter, QPointF(40, 40), 11);
}

constexpr std::array family{
    StandardIcon{1, world},          StandardIcon{5, communication}, StandardIcon{8, worldWithPlug},
    StandardIcon{16, worldWithStar}, StandardIcon{19, email},        StandardIcon{25, mailbox},
    StandardIcon{40, emailSearch},
};

} // namespace

std::span<const StandardIcon> networkIcons() {
    return family;
}

} // namespace vaultora::ui::icons
