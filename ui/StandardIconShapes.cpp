#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace vaultora::ui::icons {

void useOutline(QPainter& painter, const QColor& fill, double width) {
    painter.setPen(QPen(palette::ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
}

void useStroke(QPainter& painter, const QColor& colour, double width) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
}

void useFill(QPainter& painter, const QColor& fill) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
}

void drawPaper(QPainter& painter, const QRectF& area) {
    const double fold = area.width() * 0.3;
    useOutline(painter, palette::paper);
    painter.drawPolygon(QPolygonF({area.topLeft(),
                                   {area.right() - fold, area.top()},
                                   {area.right(), area.top() + fold},
                                   area.bottomRight(),
                                   area.bottomLeft()}));
    useOutline(painter, palette::paperShade);
    painter.drawPolygon(QPolygonF({{area.right() - fold, area.top()},
                                   {area.right() - fold, area.top() + fold},
                                   {area.right(), area.top() + fold}}));
}

void drawTextLines(QPainter& painter, double left, double right, double top, int count,
                   double spacing) {
    useStroke(painter, palette::darkMetal, 3);
    for (int line = 0; line < count; ++line) {
        const double y = top + line * spacing;
        // The last line of a paragraph is shorter, as in written text.
        const double end = line == count - 1 && count > 1 ? left + (right - left) * 0.6 : right;
        painter.drawLine(QPointF(left, y), QPointF(end, y));
    }
}

void drawGlobe(QPainter& painter, const QPointF& centre, double radius) {
    useOutline(painter, palette::lightBlue);
    painter.drawEllipse(centre, radius, radius);
    // The land masses: two green patches clipped to the sphere.
    QPainterPath sphere;
    sphere.addEllipse(centre, radius, radius);
    QPainterPath land;
    const double r = radius;
    land.moveTo(centre + QPointF(-0.75 * r, -0.55 * r));
    land.cubicTo(centre + QPointF(-0.2 * r, -0.95 * r), centre + QPointF(0.1 * r, -0.45 * r),
                 centre + QPointF(-0.15 * r, -0.1 * r));
    land.cubicTo(centre + QPointF(-0.35 * r, 0.25 * r), centre + QPointF(-0.1 * r, 0.55 * r),
                 centre + QPointF(-0.45 * r, 0.75 * r));
    land.cubicTo(centre + QPointF(-0.95 * r, 0.35 * r), centre + QPointF(-1.0 * r, -0.2 * r),
                 centre + QPointF(-0.75 * r, -0.55 * r));
    land.moveTo(centre + QPointF(0.3 * r, -0.2 * r));
    land.cubicTo(centre + QPointF(0.8 * r, -0.45 * r), centre + QPointF(1.0 * r, 0.2 * r),
                 centre + QPointF(0.75 * r, 0.45 * r));
    land.cubicTo(centre + QPointF(0.5 * r, 0.8 * r), centre + QPointF(0.2 * r, 0.4 * r),
                 centre + QPointF(0.3 * r, -0.2 * r));
    useFill(painter, palette::green);
    painter.drawPath(land.intersected(sphere));
    useStroke(painter, palette::ink, outlineWidth);
    painter.drawEllipse(centre, radius, radius);
}

void drawFolderShape(QPainter& painter, const QRectF& area, const QColor& front) {
    const double tab = area.width() * 0.38;
    const double tabHeight = area.height() * 0.16;
    useOutline(painter, palette::folderBack);
    painter.drawPolygon(QPolygonF({{area.left(), area.top()},
                                   {area.left() + tab, area.top()},
                                   {area.left() + tab + tabHeight, area.top() + tabHeight},
                                   {area.right(), area.top() + tabHeight},
                                   area.bottomRight(),
                                   area.bottomLeft()}));
    useOutline(painter, front);
    painter.drawRoundedRect(QRectF(area.left(), area.top() + tabHeight * 2, area.width(),
                                   area.height() - tabHeight * 2),
                            2, 2);
}

void drawEnvelope(QPainter& painter, const QRectF& area) {
    useOutline(painter, palette::paper);
    painter.drawRoundedRect(area, 2, 2);
    useStroke(painter, palette::ink, outlineWidth);
    painter.drawPolyline(QPolygonF({area.topLeft() + QPointF(1, 1),
                                    {area.center().x(), area.top() + area.height() * 0.6},
                                    area.topRight() + QPointF(-1, 1)}));
}

QRectF drawMonitor(QPainter& painter, const QRectF& body) {
    useOutline(painter, palette::metal);
    const double standTop = body.bottom();
    painter.drawPolygon(QPolygonF({{body.center().x() - 5, standTop},
                                   {body.center().x() + 5, standTop},
                                   {body.center().x() + 8, standTop + 7},
                                   {body.center().x() - 8, standTop + 7}}));
    painter.drawRoundedRect(body, 3, 3);
    const QRectF screenArea = body.adjusted(4, 4, -4, -4);
    useOutline(painter, palette::screen, 2);
    painter.drawRect(screenArea);
    return screenArea;
}

void drawKey(QPainter& painter, const QPointF& bow, double angle, double scale,
             const QColor& colour) {
    painter.save();
    painter.translate(bow);
    painter.rotate(angle);
    painter.scale(scale, scale);
    QPainterPath key;
    key.addEllipse(QPointF(0, 0), 10, 10);
    key.addRect(QRectF(8, -3.5, 30, 7));
    key.addRect(QRectF(26, 2, 5, 8));
    key.addRect(QRectF(33, 2, 5, 6));
    QPainterPath hole;
    hole.addEllipse(QPointF(-3, 0), 3.5, 3.5);
    useOutline(painter, colour, outlineWidth / scale);
    painter.drawPath(key.simplified().subtracted(hole));
    painter.restore();
}

void drawBolt(QPainter& painter, const QRectF& area, const QColor& colour) {
    const auto at = [&area](double x, double y) {
        return QPointF(area.left() + x * area.width(), area.top() + y * area.height());
    };
    useOutline(painter, colour);
    painter.drawPolygon(QPolygonF({at(0.62, 0.0), at(0.12, 0.58), at(0.45, 0.58), at(0.32, 1.0),
                                   at(0.88, 0.38), at(0.54, 0.38), at(0.72, 0.0)}));
}

QPainterPath gearPath(double toothWidth) {
    QPainterPath teeth;
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(32, 32);
        turn.rotate(tooth * 45.0);
        QPainterPath one;
        one.addRect(QRectF(-toothWidth / 2, -29, toothWidth, 12));
        teeth.addPath(turn.map(one));
    }
    QPainterPath body;
    body.addEllipse(QPointF(32, 32), 20, 20);
    QPainterPath hole;
    hole.addEllipse(QPointF(32, 32), 8, 8);
    return teeth.united(body).simplified().subtracted(hole);
}

void drawWarningTriangle(QPainter& painter, const QRectF& area) {
    useOutline(painter, palette::yellow);
    painter.drawPolygon(
        QPolygonF({{area.center().x(), area.top()}, area.bottomRight(), area.bottomLeft()}));
}

void drawStar(QPainter& painter, const QPointF& centre, double outer, double inner,
              const QColor& colour) {
    QPolygonF star;
    for (int point = 0; point < 10; ++point) {
        const double radius = point % 2 == 0 ? outer : inner;
        const double angle = qDegreesToRadians(-90.0 + point * 36.0);
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    useOutline(painter, colour);
    painter.drawPolygon(star);
}

void drawPadlock(QPainter& painter, const QRectF& body, bool open) {
    const double shackleWidth = body.width() * 0.62;
    const double left = body.center().x() - shackleWidth / 2;
    const double lift = open ? body.height() * 0.3 : 0.0;
    const double shackleTop = body.top() - body.height() * 0.75 - lift;
    useStroke(painter, palette::ink, body.width() * 0.22);
    const QRectF arc(left, shackleTop, shackleWidth, shackleWidth);
    painter.drawArc(arc, 0, 180 * 16);
    painter.drawLine(QPointF(left, arc.center().y()), QPointF(left, body.top() + 1));
    painter.drawLine(
        QPointF(left + shackleWidth, arc.center().y()),
        QPointF(left + shackleWidth, open ? arc.center().y() + lift * 0.6 : body.top() + 1));
    useStroke(painter, palette::metal, body.width() * 0.1);
    painter.drawArc(arc, 0, 180 * 16);
    useOutline(painter, palette::gold);
    painter.drawRoundedRect(body, 3, 3);
    useFill(painter, palette::ink);
    const QPointF hole(body.center().x(), body.center().y() - body.height() * 0.08);
    painter.drawEllipse(hole, body.width() * 0.09, body.width() * 0.09);
    painter.drawRect(QRectF(hole.x() - body.width() * 0.035, hole.y(), body.width() * 0.07,
                            body.height() * 0.28));
}

void drawMagnifier(QPainter& painter, const QPointF& glass, double radius) {
    useStroke(painter, palette::ink, radius * 0.55);
    const QPointF handleEnd = glass + QPointF(radius * 1.6, radius * 1.6);
    painter.drawLine(glass + QPointF(radius * 0.7, radius * 0.7), handleEnd);
    useOutline(painter, QColor(220, 238, 255));
    painter.drawEllipse(glass, radius, radius);
    useStroke(painter, Qt::white, 2);
    painter.drawArc(
        QRectF(glass.x() - radius * 0.6, glass.y() - radius * 0.6, radius * 1.2, radius * 1.2),
        100 * 16, 70 * 16);
}

void drawParcel(QPainter& painter, const QRectF& area) {
    // A box seen from above at an angle: the top face and the front face, with tape.
    const double depth = area.height() * 0.3;
    const QRectF front(area.left(), area.top() + depth, area.width() * 0.8, area.height() - depth);
    const double shift = area.width() * 0.2;
    useOutline(painter, palette::cardboard.darker(115));
    painter.drawPolygon(QPolygonF({front.topRight(),
                                   {front.right() + shift, area.top()},
                                   {area.right(), area.bottom() - depth},
                                   front.bottomRight()}));
    useOutline(painter, QColor(236, 196, 140));
    painter.drawPolygon(QPolygonF({front.topLeft(),
                                   {front.left() + shift, area.top()},
                                   {front.right() + shift, area.top()},
                                   front.topRight()}));
    useOutline(painter, palette::cardboard);
    painter.drawRect(front);
    useStroke(painter, palette::brown.darker(120), 3);
    const double tapeX = front.center().x();
    painter.drawLine(QPointF(tapeX, front.top() + 1.5), QPointF(tapeX, front.top() + depth));
    painter.drawLine(QPointF(tapeX, front.top() + 1.5), QPointF(tapeX + shift, area.top() + 1.5));
}

void drawHardDisk(QPainter& painter, const QRectF& area) {
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(area, 4, 4);
    const QRectF face = area.adjusted(0, area.height() * 0.45, 0, 0);
    useOutline(painter, palette::metal);
    painter.drawRoundedRect(face, 4, 4);
    useFill(painter, palette::green);
    painter.drawEllipse(QPointF(face.right() - 8, face.center().y()), 3, 3);
    useStroke(painter, palette::darkMetal, 2.5);
    for (double x = face.left() + 7; x < face.right() - 20; x += 5) {
        painter.drawLine(QPointF(x, face.top() + 5), QPointF(x, face.bottom() - 5));
    }
}

QRectF drawBadge(QPainter& painter, const QPointF& centre, double radius, const QColor& colour) {
    useOutline(painter, colour);
    painter.drawEllipse(centre, radius, radius);
    return {centre.x() - radius, centre.y() - radius, radius * 2, radius * 2};
}

void drawCheckMark(QPainter& painter, const QRectF& area, const QColor& colour, double width) {
    useStroke(painter, colour, width);
    painter.drawPolyline(
        QPolygonF({{area.left() + area.width() * 0.12, area.top() + area.height() * 0.52},
                   {area.left() + area.width() * 0.4, area.top() + area.height() * 0.8},
                   {area.left() + area.width() * 0.88, area.top() + area.height() * 0.2}}));
}

void drawCheckBadge(QPainter& painter, const QPointF& centre, double radius) {
    const QRectF badge = drawBadge(painter, centre, radius, palette::green);
    drawCheckMark(painter,
                  badge.adjusted(radius * 0.35, radius * 0.35, -radius * 0.35, -radius * 0.3),
                  Qt::white, radius * 0.36);
}

void drawPlusBadge(QPainter& painter, const QPointF& centre, double radius) {
    drawBadge(painter, centre, radius, palette::green);
    useStroke(painter, Qt::white, radius * 0.38);
    const double arm = radius * 0.55;
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

void drawCrossBadge(QPainter& painter, const QPointF& centre, double radius) {
    drawBadge(painter, centre, radius, palette::red);
    useStroke(painter, Qt::white, radius * 0.38);
    const double arm = radius * 0.45;
    painter.drawLine(centre - QPointF(arm, arm), centre + QPointF(arm, arm));
    painter.drawLine(centre - QPointF(arm, -arm), centre + QPointF(arm, -arm));
}

} // namespace vaultora::ui::icons
