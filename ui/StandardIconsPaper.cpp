#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace vaultora::ui::icons {

namespace {

// The sheet that carries a mark at its lower right.
const QRectF markedSheet(10, 4, 38, 52);
const QPointF markCentre(46, 46);
constexpr double markRadius = 13;

void drawMarkedSheet(QPainter& painter) {
    drawPaper(painter, markedSheet);
    drawTextLines(painter, 17, 37, 20, 4, 7);
}

void notepad(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(12, 10, 40, 50));
    useOutline(painter, palette::blue);
    painter.drawRect(QRectF(12, 10, 40, 8));
    drawTextLines(painter, 18, 46, 27, 4, 8);
    // The spiral binding across the top.
    useStroke(painter, palette::ink, 3);
    for (double x = 18; x <= 46; x += 7) {
        painter.drawArc(QRectF(x - 3, 4, 6, 10), 0, 180 * 16);
        painter.drawLine(QPointF(x + 3, 9), QPointF(x + 3, 13));
    }
}

void identityCard(QPainter& painter) {
    useOutline(painter, palette::lightBlue);
    painter.drawRoundedRect(QRectF(4, 12, 56, 40), 5, 5);
    // The photo.
    useOutline(painter, palette::paper, 2);
    painter.drawRect(QRectF(10, 19, 18, 24));
    useFill(painter, palette::darkMetal);
    painter.drawEllipse(QPointF(19, 27), 4.5, 4.5);
    painter.drawChord(QRectF(11, 33, 16, 16), 0, 180 * 16);
    useStroke(painter, palette::ink, 3);
    painter.drawLine(QPointF(34, 24), QPointF(53, 24));
    painter.drawLine(QPointF(34, 32), QPointF(53, 32));
    painter.drawLine(QPointF(34, 40), QPointF(46, 40));
}

void paperReady(QPainter& painter) {
    drawMarkedSheet(painter);
    drawCheckBadge(painter, markCentre, markRadius);
}

void clipboardChecked(QPainter& painter) {
    useOutline(painter, palette::brown);
    painter.drawRoundedRect(QRectF(10, 8, 44, 54), 4, 4);
    useOutline(painter, palette::paper, 2);
    painter.drawRect(QRectF(15, 15, 34, 42));
    useOutline(painter, palette::metal);
    painter.drawRoundedRect(QRectF(22, 3, 20, 12), 3, 3);
    drawCheckMark(painter, QRectF(17, 22, 30, 30), palette::green, 7);
}

void newPaper(QPainter& painter) {
    drawMarkedSheet(painter);
    drawStar(painter, markCentre, 15, 6.5, palette::yellow);
}

// A "?" of two strokes: the hook and the dot.
void drawQuestionMark(QPainter& painter, const QPointF& centre, double size, const QColor& colour) {
    useStroke(painter, colour, size * 0.22);
    QPainterPath hook;
    hook.moveTo(centre + QPointF(-size * 0.32, -size * 0.28));
    hook.cubicTo(centre + QPointF(-size * 0.3, -size * 0.7),
                 centre + QPointF(size * 0.38, -size * 0.68),
                 centre + QPointF(size * 0.34, -size * 0.3));
    hook.cubicTo(centre + QPointF(size * 0.3, -size * 0.05), centre + QPointF(0, 0),
                 centre + QPointF(0, size * 0.2));
    painter.drawPath(hook);
    useFill(painter, colour);
    painter.drawEllipse(centre + QPointF(0, size * 0.48), size * 0.13, size * 0.13);
}

void paperQuestion(QPainter& painter) {
    drawMarkedSheet(painter);
    drawBadge(painter, markCentre, markRadius, palette::blue);
    drawQuestionMark(painter, markCentre + QPointF(0, -1), 20, Qt::white);
}

void paperFlag(QPainter& painter) {
    drawMarkedSheet(painter);
    useStroke(painter, palette::ink, 3.5);
    painter.drawLine(QPointF(38, 32), QPointF(38, 61));
    useOutline(painter, palette::red);
    QPainterPath flag;
    flag.moveTo(38, 33);
    flag.cubicTo(44, 29, 50, 37, 59, 33);
    flag.lineTo(59, 47);
    flag.cubicTo(50, 51, 44, 43, 38, 47);
    flag.closeSubpath();
    painter.drawPath(flag);
}

void stickyNote(QPainter& painter) {
    useOutline(painter, palette::yellow);
    painter.drawPolygon(QPolygonF({{6, 10}, {58, 10}, {58, 44}, {44, 58}, {6, 58}}));
    useOutline(painter, QColor(222, 172, 30));
    painter.drawPolygon(QPolygonF({{58, 44}, {44, 44}, {44, 58}}));
    useStroke(painter, QColor(150, 120, 40), 3);
    painter.drawLine(QPointF(14, 26), QPointF(50, 26));
    painter.drawLine(QPointF(14, 35), QPointF(50, 35));
    painter.drawLine(QPointF(14, 44), QPointF(36, 44));
    // The pin that holds it.
    useOutline(painter, palette::red);
    painter.drawEllipse(QPointF(32, 10), 5, 5);
}

void paperLock(QPainter& painter) {
    drawMarkedSheet(painter);
    drawPadlock(painter, QRectF(34, 42, 24, 18), false);
}

void pen(QPainter& painter) {
    painter.save();
    painter.translate(32, 32);
    painter.rotate(-45);
    // Along the x axis: the nib at the left, the cap at the right.
    useOutline(painter, palette::skin);
    painter.drawPolygon(QPolygonF({{-30, 0}, {-18, -6}, {-18, 6}}));
    useFill(painter, palette::ink);
    painter.drawPolygon(QPolygonF({{-30, 0}, {-25, -2.5}, {-25, 2.5}}));
    useOutline(painter, palette::blue);
    painter.drawRoundedRect(QRectF(-18, -7, 34, 14), 2, 2);
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(QRectF(16, -7, 12, 14), 3, 3);
    useOutline(painter, palette::metal, 2);
    painter.drawRect(QRectF(10, -10, 14, 3));
    painter.restore();
}

void book(QPainter& painter) {
    // The page block shows at the right and bottom, behind the cover.
    useOutline(painter, palette::paper);
    painter.drawRoundedRect(QRectF(16, 8, 40, 52), 3, 3);
    useStroke(painter, palette::paperShade, 2);
    for (double y = 14; y < 58; y += 4) {
        painter.drawLine(QPointF(52, y), QPointF(55, y));
    }
    useOutline(painter, palette::red);
    painter.drawRoundedRect(QRectF(8, 4, 42, 52), 3, 3);
    useOutline(painter, QColor(170, 40, 34));
    painter.drawRect(QRectF(8, 4, 9, 52));
    useOutline(painter, palette::gold, 2);
    painter.drawRect(QRectF(23, 14, 20, 10));
}

void bulletedList(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRoundedRect(QRectF(6, 6, 52, 52), 5, 5);
    const std::array<QColor, 4> bullets{palette::blue, palette::green, palette::orange,
                                        palette::red};
    for (std::size_t row = 0; row < bullets.size(); ++row) {
        const double y = 15 + static_cast<double>(row) * 11.5;
        useOutline(painter, bullets.at(row), 2);
        painter.drawEllipse(QPointF(15, y), 4, 4);
        useStroke(painter, palette::darkMetal, 3.5);
        painter.drawLine(QPointF(24, y), QPointF(row % 2 == 0 ? 50 : 44, y));
    }
}

void feather(QPainter& painter) {
    QPainterPath vane;
    vane.moveTo(14, 52);
    vane.cubicTo(14, 30, 30, 8, 58, 4);
    vane.cubicTo(56, 26, 40, 46, 18, 50);
    vane.closeSubpath();
    useOutline(painter, palette::paper);
    painter.drawPath(vane);
    // Barbs: the notches along the vane's edge.
    useStroke(painter, palette::metal, 2);
    for (double t = 0.3; t < 0.95; t += 0.16) {
        const QPointF onShaft(14 + t * 40, 52 - t * 46);
        painter.drawLine(onShaft, onShaft + QPointF(-9, -3));
        painter.drawLine(onShaft, onShaft + QPointF(4, 8));
    }
    useStroke(painter, palette::ink, 3);
    painter.drawLine(QPointF(6, 60), QPointF(54, 8));
    useStroke(painter, palette::screen, 4);
    painter.drawLine(QPointF(6, 60), QPointF(11, 54.5));
}

void wiki(QPainter& painter) {
    drawPaper(painter, QRectF(8, 4, 48, 56));
    useStroke(painter, palette::ink, 5);
    painter.drawPolyline(QPolygonF({{14, 24}, {21, 48}, {28, 30}, {35, 48}, {42, 24}}));
    useStroke(painter, palette::darkMetal, 3);
    painter.drawLine(QPointF(16, 14), QPointF(36, 14));
    painter.drawLine(QPointF(14, 54), QPointF(48, 54));
}

void certificate(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(4, 8, 56, 40));
    useStroke(painter, palette::gold, 2);
    painter.drawRect(QRectF(8, 12, 48, 32));
    drawTextLines(painter, 13, 42, 20, 3, 7);
    // The seal with its two ribbons.
    useOutline(painter, palette::red);
    painter.drawPolygon(QPolygonF({{40, 44}, {36, 62}, {42, 58}, {46, 62}, {47, 46}}));
    painter.drawPolygon(QPolygonF({{48, 46}, {50, 62}, {54, 58}, {59, 62}, {55, 44}}));
    drawStar(painter, QPointF(48, 40), 12, 9, palette::gold);
    useOutline(painter, palette::red, 2);
    painter.drawEllipse(QPointF(48, 40), 6, 6);
}

constexpr std::array family{
    StandardIcon{7, notepad},      StandardIcon{9, identityCard},
    StandardIcon{10, paperReady},  StandardIcon{21, clipboardChecked},
    StandardIcon{22, newPaper},    StandardIcon{28, paperQuestion},
    StandardIcon{41, paperFlag},   StandardIcon{44, stickyNote},
    StandardIcon{52, paperLock},   StandardIcon{54, pen},
    StandardIcon{56, book},        StandardIcon{57, bulletedList},
    StandardIcon{63, feather},     StandardIcon{65, wiki},
    StandardIcon{67, certificate},
};

} // namespace

std::span<const StandardIcon> paperIcons() {
    return family;
}

} // namespace vaultora::ui::icons
