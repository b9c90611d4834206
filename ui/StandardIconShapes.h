// The palette and the shapes that the standard group and entry icons share, so that all of
// them read as one set: flat fills from one palette, one dark outline of one width, and marks
// (check, plus, question, lock...) on a round badge at the lower right. Every shape works on
// the 64 by 64 canvas of the artwork.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace vaultora::ui::icons {

namespace palette {
inline const QColor ink(60, 60, 60);
inline const QColor paper(250, 250, 250);
inline const QColor paperShade(222, 226, 232);
inline const QColor metal(176, 184, 196);
inline const QColor darkMetal(104, 112, 124);
inline const QColor screen(40, 52, 70);
inline const QColor blue(58, 126, 214);
inline const QColor lightBlue(150, 198, 242);
inline const QColor green(70, 168, 84);
inline const QColor lightGreen(150, 214, 120);
inline const QColor red(214, 62, 52);
inline const QColor yellow(250, 204, 48);
inline const QColor orange(242, 140, 40);
inline const QColor brown(176, 124, 74);
inline const QColor cardboard(214, 168, 108);
inline const QColor folder(240, 196, 84);
inline const QColor folderBack(214, 164, 60);
inline const QColor purple(140, 94, 192);
inline const QColor teal(38, 162, 160);
inline const QColor gold(232, 182, 48);
inline const QColor skin(246, 206, 164);
} // namespace palette

// The outline every icon is drawn with, at its usual width or another one.
constexpr double outlineWidth = 3.0;
void useOutline(QPainter& painter, const QColor& fill, double width = outlineWidth);
// A stroke without fill, for lines, arcs and glyphs.
void useStroke(QPainter& painter, const QColor& colour, double width);
void useFill(QPainter& painter, const QColor& fill);

// A sheet of paper with its upper right corner folded.
void drawPaper(QPainter& painter, const QRectF& area);
// Text lines on a sheet, from top to bottom between the two x positions.
void drawTextLines(QPainter& painter, double left, double right, double top, int count,
                   double spacing);
void drawGlobe(QPainter& painter, const QPointF& centre, double radius);
void drawFolderShape(QPainter& painter, const QRectF& area, const QColor& front);
void drawEnvelope(QPainter& painter, const QRectF& area);
// A display with a stand under it; the screen area is returned for a picture inside it.
QRectF drawMonitor(QPainter& painter, const QRectF& body);
// A key along the x axis from the centre of its bow, turned by the angle in degrees.
void drawKey(QPainter& painter, const QPointF& bow, double angle, double scale,
             const QColor& colour);
void drawBolt(QPainter& painter, const QRectF& area, const QColor& colour);
void drawWarningTriangle(QPainter& painter, const QRectF& area);
// A gear of eight teeth around a hole, centred on the canvas; the menu's settings icon is the
// same gear.
[[nodiscard]] QPainterPath gearPath(double toothWidth);
void drawStar(QPainter& painter, const QPointF& centre, double outer, double inner,
              const QColor& colour);
void drawPadlock(QPainter& painter, const QRectF& body, bool open);
void drawMagnifier(QPainter& painter, const QPointF& glass, double radius);
void drawParcel(QPainter& painter, const QRectF& area);
void drawHardDisk(QPainter& painter, const QRectF& area);

// The round badge of a mark at the lower right and the marks drawn on it.
QRectF drawBadge(QPainter& painter, const QPointF& centre, double radius, const QColor& colour);
void drawCheckMark(QPainter& painter, const QRectF& area, const QColor& colour, double width);
void drawCheckBadge(QPainter& painter, const QPointF& centre, double radius);
void drawPlusBadge(QPainter& painter, const QPointF& centre, double radius);
void drawCrossBadge(QPainter& painter, const QPointF& centre, double radius);

} // namespace vaultora::ui::icons
