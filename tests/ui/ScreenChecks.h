// Checks of what a window shows, made on its item tree and on a grabbed frame: text that is
// cut, areas nothing covers, text drawn in colours outside the theme or faded, and tap targets
// smaller than the theme's least height.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>

class QQuickItem;

namespace vaultora::test::screens {

// The places in a frame where the window's own colour shows through: nothing covers them.
// Returns the number of such pixels and their bounding box in `where`.
[[nodiscard]] int uncoveredPixels(const QImage& frame, const QColor& windowColour, QRect& where);

// One line per text on show that is elided without being allowed to, that is wider than its
// box without wrapping, or that is cut at the side by the window or by a clipping parent.
[[nodiscard]] QStringList clippedTexts(QQuickItem* root);

// One line per text on show whose colour is not one of the theme's text colours, or that a
// parent fades (an opacity under 1 lowers the contrast the theme was checked for).
[[nodiscard]] QStringList textsOffTheme(QQuickItem* root);

// One line per button, row or switch on show that is lower than the theme's touch target.
[[nodiscard]] QStringList smallTapTargets(QQuickItem* root);

} // namespace vaultora::test::screens
