#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <array>

namespace vaultora::ui::icons {

namespace {

void warning(QPainter& painter) {
    drawWarningTriangle(painter, QRectF(3, 5, 58, 52));
    useStroke(painter, palette::ink, 6);
    painter.drawLine(QPointF(32, 22), QPointF(32, 38));
    useFill(painter, palette::ink);
    painter.drawEllipse(QPointF(32, 47), 3.5, 3.5);
}

void energy(QPainter& painter) {
    drawBolt(painter, QRectF(10, 2, 44, 60), palette::yellow);
}

void energyCareful(QPainter& painter) {
    drawWarningTriangle(painter, QRectF(3, 5, 58, 52));
    drawBolt(painter, QRectF(22, 20, 20, 33), palette::orange);
}

void programIcons(QPainter& painter) {
    const std::array<QColor, 9> tiles{palette::blue,   palette::green,     palette::orange,
                                      palette::red,    palette::purple,    palette::teal,
                                      palette::yellow, palette::lightBlue, palette::brown};
    for (std::size_t tile = 0; tile < tiles.size(); ++tile) {
        const double column = static_cast<double>(tile % 3);
        const double row = static_cast<double>(tile / 3);
        useOutline(painter, tiles.at(tile), 2.5);
        painter.drawRoundedRect(QRectF(5 + column * 19, 5 + row * 19, 16, 16), 3, 3);
    }
}

void run(QPainter& painter) {
    drawBadge(painter, QPointF(32, 32), 28, palette::green);
    useOutline(painter, Qt::white, 2);
    painter.drawPolygon(QPolygonF({{24, 17}, {47, 32}, {24, 47}}));
}

void clock(QPainter& painter) {
    useOutline(painter, palette::blue, 4);
    painter.drawEllipse(QPointF(32, 32), 28, 28);
    useOutline(painter, palette::paper);
    painter.drawEllipse(QPointF(32, 32), 22, 22);
    useStroke(painter, palette::darkMetal, 3);
    for (int hour = 0; hour < 12; hour += 3) {
        const double angle = qDegreesToRadians(hour * 30.0);
        painter.drawLine(QPointF(32 + 17 * std::sin(angle), 32 - 17 * std::cos(angle)),
                         QPointF(32 + 21 * std::sin(angle), 32 - 21 * std::cos(angle)));
    }
    useStroke(painter, palette::ink, 4);
    painter.drawLine(QPointF(32, 32), QPointF(32, 16));
    painter.drawLine(QPointF(32, 32), QPointF(43, 38));
    useFill(painter, palette::red);
    painter.drawEllipse(QPointF(32, 32), 3, 3);
}

void expired(QPainter& painter) {
    drawCrossBadge(painter, QPointF(32, 32), 28);
}

void info(QPainter& painter) {
    drawBadge(painter, QPointF(32, 32), 28, palette::blue);
    useFill(painter, Qt::white);
    painter.drawEllipse(QPointF(32, 18), 4.5, 4.5);
    painter.drawRoundedRect(QRectF(27.5, 27, 9, 23), 2, 2);
}

void checked(QPainter& painter) {
    const QRectF area(4, 4, 56, 56);
    drawCheckMark(painter, area, palette::ink, 15);
    drawCheckMark(painter, area, palette::green, 9);
}

void star(QPainter& painter) {
    drawStar(painter, QPointF(32, 34), 29, 12, palette::yellow);
}

constexpr std::array family{
    StandardIcon{2, warning},       StandardIcon{14, energy}, StandardIcon{24, energyCareful},
    StandardIcon{32, programIcons}, StandardIcon{33, run},    StandardIcon{39, clock},
    StandardIcon{45, expired},      StandardIcon{46, info},   StandardIcon{53, checked},
    StandardIcon{61, star},
};

} // namespace

std::span<const StandardIcon> symbolIcons() {
    return family;
}

} // namespace vaultora::ui::icons
