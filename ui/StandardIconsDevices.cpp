#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace vaultora::ui::icons {

namespace {

void server(QPainter& painter) {
    for (int unit = 0; unit < 3; ++unit) {
        const double top = 6 + unit * 17;
        useOutline(painter, palette::metal);
        painter.drawRoundedRect(QRectF(10, top, 44, 15), 3, 3);
        useFill(painter, palette::green);
        painter.drawEllipse(QPointF(18, top + 7.5), 2.8, 2.8);
        useStroke(painter, palette::darkMetal, 2.5);
        painter.drawLine(QPointF(28, top + 7.5), QPointF(47, top + 7.5));
    }
}

void camera(QPainter& painter) {
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(QRectF(20, 12, 16, 10), 2, 2);
    useOutline(painter, palette::metal);
    painter.drawRoundedRect(QRectF(4, 18, 56, 38), 6, 6);
    useOutline(painter, palette::screen);
    painter.drawEllipse(QPointF(32, 37), 14, 14);
    useOutline(painter, palette::blue, 2);
    painter.drawEllipse(QPointF(32, 37), 8, 8);
    useFill(painter, Qt::white);
    painter.drawEllipse(QPointF(29, 34), 2.5, 2.5);
    useOutline(painter, palette::yellow, 2);
    painter.drawRect(QRectF(48, 23, 7, 5));
}

void infrared(QPainter& painter) {
    // A small sender at the lower left and its beam of waves.
    painter.save();
    painter.translate(20, 44);
    painter.rotate(-45);
    useOutline(painter, palette::metal);
    painter.drawRoundedRect(QRectF(-14, -9, 26, 18), 3, 3);
    useOutline(painter, QColor(150, 20, 30));
    painter.drawRoundedRect(QRectF(4, -6, 8, 12), 2, 2);
    useFill(painter, palette::darkMetal);
    painter.drawEllipse(QPointF(-7, -3), 2, 2);
    painter.drawEllipse(QPointF(-7, 3), 2, 2);
    painter.restore();
    useStroke(painter, palette::red, 4);
    for (double radius : {10.0, 18.0, 26.0}) {
        painter.drawArc(QRectF(28 - radius, 36 - radius, radius * 2, radius * 2), 5 * 16, 80 * 16);
    }
}

void scanner(QPainter& painter) {
    // A flatbed: the lid lifted a little over the glass, the light bar shining through.
    useOutline(painter, palette::metal);
    painter.drawPolygon(QPolygonF({{4, 40}, {48, 40}, {60, 30}, {60, 44}, {48, 56}, {4, 56}}));
    painter.drawLine(QPointF(48, 40), QPointF(48, 56));
    useOutline(painter, palette::lightBlue);
    painter.drawPolygon(QPolygonF({{4, 40}, {16, 30}, {60, 30}, {48, 40}}));
    useOutline(painter, palette::darkMetal);
    painter.drawPolygon(QPolygonF({{4, 40}, {14, 8}, {58, 8}, {48, 40}}));
    useFill(painter, palette::lightGreen);
    painter.drawRect(QRectF(10, 47, 30, 4));
}

void opticalDisc(QPainter& painter) {
    const QPointF centre(32, 32);
    QPainterPath hole;
    hole.addEllipse(centre, 4, 4);
    QPainterPath disc;
    disc.addEllipse(centre, 27, 27);
    disc = disc.subtracted(hole);
    useOutline(painter, palette::metal);
    painter.drawPath(disc);
    // The sheen of the data side.
    painter.save();
    painter.setClipPath(disc);
    useFill(painter, QColor(200, 226, 250));
    painter.drawPie(QRectF(7, 7, 50, 50), 30 * 16, 50 * 16);
    useFill(painter, QColor(240, 210, 240));
    painter.drawPie(QRectF(7, 7, 50, 50), 210 * 16, 50 * 16);
    painter.restore();
    useStroke(painter, palette::ink, outlineWidth);
    painter.drawEllipse(centre, 27, 27);
    QPainterPath hub;
    hub.addEllipse(centre, 10, 10);
    useOutline(painter, palette::paper);
    painter.drawPath(hub.subtracted(hole));
}

void monitor(QPainter& painter) {
    const QRectF screenArea = drawMonitor(painter, QRectF(6, 6, 52, 40));
    useFill(painter, palette::teal);
    painter.drawRect(screenArea.adjusted(1, 1, -1, -1));
    useFill(painter, QColor(255, 255, 255, 110));
    painter.drawPolygon(
        QPolygonF({screenArea.topLeft() + QPointF(1, 1), screenArea.topLeft() + QPointF(24, 1),
                   screenArea.topLeft() + QPointF(1, 20)}));
    useOutline(painter, palette::metal);
    painter.drawRect(QRectF(18, 53, 28, 5));
}

void display(QPainter& painter) {
    // A wide, thin display showing a window.
    useOutline(painter, palette::darkMetal);
    painter.drawRect(QRectF(28, 46, 8, 8));
    painter.drawRoundedRect(QRectF(16, 54, 32, 5), 2, 2);
    useOutline(painter, palette::screen);
    painter.drawRoundedRect(QRectF(2, 10, 60, 38), 3, 3);
    useFill(painter, palette::lightBlue);
    painter.drawRect(QRectF(6, 14, 52, 30));
    useOutline(painter, palette::paper, 2);
    painter.drawRect(QRectF(14, 19, 32, 20));
    useFill(painter, palette::blue);
    painter.drawRect(QRectF(15, 20, 30, 5));
}

void floppyDisk(QPainter& painter) {
    useOutline(painter, palette::blue);
    painter.drawPolygon(QPolygonF({{6, 6}, {52, 6}, {58, 12}, {58, 58}, {6, 58}}));
    useOutline(painter, palette::metal);
    painter.drawRect(QRectF(16, 6, 30, 18));
    useFill(painter, palette::darkMetal);
    painter.drawRect(QRectF(35, 10, 7, 11));
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(13, 33, 38, 25));
    useStroke(painter, palette::paperShade, 2.5);
    painter.drawLine(QPointF(18, 41), QPointF(46, 41));
    painter.drawLine(QPointF(18, 49), QPointF(46, 49));
}

void hardDisk(QPainter& painter) {
    drawHardDisk(painter, QRectF(4, 20, 56, 30));
}

// The window of a program, for the drive that holds the system.
void drawProgramWindow(QPainter& painter, const QRectF& area) {
    useOutline(painter, palette::paper, 2.5);
    painter.drawRect(area);
    useFill(painter, palette::blue);
    painter.drawRect(area.adjusted(1.2, 1.2, -1.2, -area.height() * 0.65));
}

void systemDrive(QPainter& painter) {
    drawHardDisk(painter, QRectF(4, 10, 56, 44));
    drawProgramWindow(painter, QRectF(11, 14, 22, 14));
}

void drawTerminal(QPainter& painter, const QRectF& area) {
    useOutline(painter, palette::screen);
    painter.drawRoundedRect(area, 4, 4);
    useFill(painter, palette::metal);
    painter.drawRect(QRectF(area.left() + 1.5, area.top() + 1.5, area.width() - 3, 7));
    useStroke(painter, palette::lightGreen, 4);
    const QPointF prompt(area.left() + 8, area.top() + 17);
    painter.drawPolyline(QPolygonF({prompt, prompt + QPointF(7, 6), prompt + QPointF(0, 12)}));
    painter.drawLine(prompt + QPointF(12, 13), prompt + QPointF(22, 13));
}

void encryptedTerminal(QPainter& painter) {
    drawTerminal(painter, QRectF(3, 6, 50, 42));
    drawPadlock(painter, QRectF(36, 42, 24, 18), false);
}

void console(QPainter& painter) {
    drawTerminal(painter, QRectF(4, 8, 56, 48));
}

void printer(QPainter& painter) {
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(16, 4, 32, 22));
    useOutline(painter, palette::metal);
    painter.drawRoundedRect(QRectF(4, 22, 56, 26), 4, 4);
    useFill(painter, palette::green);
    painter.drawEllipse(QPointF(51, 30), 2.5, 2.5);
    useOutline(painter, palette::darkMetal);
    painter.drawRect(QRectF(12, 38, 40, 6));
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(16, 44, 32, 16));
    drawTextLines(painter, 21, 43, 50, 2, 5);
}

void computerWithGlobe(QPainter& painter) {
    const QRectF screenArea = drawMonitor(painter, QRectF(3, 4, 46, 36));
    useFill(painter, palette::teal);
    painter.drawRect(screenArea.adjusted(1, 1, -1, -1));
    useOutline(painter, palette::metal);
    painter.drawRect(QRectF(12, 47, 28, 5));
    drawGlobe(painter, QPointF(46, 45), 15);
}

void memoryModule(QPainter& painter) {
    useOutline(painter, palette::green);
    painter.drawRect(QRectF(3, 18, 58, 26));
    useFill(painter, palette::gold);
    for (double x = 8; x < 58; x += 5) {
        painter.drawRect(QRectF(x, 44, 3, 6));
    }
    useOutline(painter, palette::screen, 2);
    for (double x : {8.0, 26.0, 44.0}) {
        painter.drawRect(QRectF(x, 23, 13, 14));
    }
    useStroke(painter, palette::ink, outlineWidth);
    painter.drawLine(QPointF(3, 50), QPointF(61, 50));
}

void smartphone(QPainter& painter) {
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(QRectF(14, 2, 36, 60), 6, 6);
    useOutline(painter, palette::lightBlue, 2);
    painter.drawRect(QRectF(18, 8, 28, 22));
    // The keyboard: three rows of keys.
    useFill(painter, palette::paper);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            painter.drawRoundedRect(QRectF(18.5 + column * 7, 35 + row * 6.4, 5.5, 4.6), 1, 1);
        }
    }
}

constexpr std::array family{
    StandardIcon{3, server},
    StandardIcon{11, camera},
    StandardIcon{12, infrared},
    StandardIcon{15, scanner},
    StandardIcon{17, opticalDisc},
    StandardIcon{18, monitor},
    StandardIcon{23, display},
    StandardIcon{26, floppyDisk},
    StandardIcon{27, hardDisk},
    StandardIcon{29, encryptedTerminal},
    StandardIcon{30, console},
    StandardIcon{31, printer},
    StandardIcon{35, computerWithGlobe},
    StandardIcon{38, systemDrive},
    StandardIcon{42, memoryModule},
    StandardIcon{68, smartphone},
};

} // namespace

std::span<const StandardIcon> deviceIcons() {
    return family;
}

} // namespace vaultora::ui::icons
