#include "ui/StandardIconFamilies.h"
#include "ui/StandardIconShapes.h"

#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace vaultora::ui::icons {

namespace {

void markedFolder(QPainter& painter) {
    drawFolderShape(painter, QRectF(3, 8, 52, 44), palette::folder);
    drawCheckBadge(painter, QPointF(47, 47), 13);
}

void archive(QPainter& painter) {
    // A box squeezed shut by a zip down its front.
    useOutline(painter, palette::cardboard);
    painter.drawRoundedRect(QRectF(8, 14, 48, 46), 3, 3);
    useOutline(painter, QColor(236, 196, 140));
    painter.drawRoundedRect(QRectF(5, 5, 54, 12), 3, 3);
    useFill(painter, palette::darkMetal);
    for (double y = 20; y < 50; y += 5) {
        painter.drawRect(QRectF(27, y, 5, 2.5));
        painter.drawRect(QRectF(32, y + 2.5, 5, 2.5));
    }
    useOutline(painter, palette::metal, 2);
    painter.drawRoundedRect(QRectF(27, 46, 10, 12), 2, 2);
}

void recycleBin(QPainter& painter) {
    useOutline(painter, palette::metal);
    painter.drawPolygon(QPolygonF({{12, 18}, {52, 18}, {47, 60}, {17, 60}}));
    useStroke(painter, palette::darkMetal, 3);
    for (double x : {23.0, 32.0, 41.0}) {
        painter.drawLine(QPointF(x, 25), QPointF(x + (x - 32) * 0.12, 53));
    }
    useOutline(painter, palette::darkMetal);
    painter.drawRoundedRect(QRectF(24, 4, 16, 8), 3, 3);
    painter.drawRoundedRect(QRectF(7, 10, 50, 8), 3, 3);
}

void package(QPainter& painter) {
    drawParcel(painter, QRectF(4, 8, 56, 48));
}

void closedFolder(QPainter& painter) {
    drawFolderShape(painter, QRectF(4, 10, 56, 46), palette::folder);
}

void openFolder(QPainter& painter) {
    // The back, a sheet inside, and the front flap tipped forward.
    useOutline(painter, palette::folderBack);
    painter.drawPolygon(QPolygonF({{4, 10}, {22, 10}, {28, 16}, {54, 16}, {54, 56}, {4, 56}}));
    useOutline(painter, palette::paper);
    painter.drawRect(QRectF(12, 20, 36, 24));
    useOutline(painter, palette::folder);
    painter.drawPolygon(QPolygonF({{14, 30}, {62, 30}, {54, 56}, {4, 56}}));
}

void folderWithPackage(QPainter& painter) {
    drawFolderShape(painter, QRectF(3, 6, 52, 42), palette::folder);
    drawParcel(painter, QRectF(30, 32, 31, 28));
}

constexpr std::array family{
    StandardIcon{4, markedFolder},       StandardIcon{36, archive},
    StandardIcon{43, recycleBin},        StandardIcon{47, package},
    StandardIcon{48, closedFolder},      StandardIcon{49, openFolder},
    StandardIcon{50, folderWithPackage},
};

} // namespace

std::span<const StandardIcon> storageIcons() {
    return family;
}

} // namespace vaultora::ui::icons
