#include "ScreenChecks.h"

#include "ui/toolkit/Theme.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QRectF>

#include <functional>

namespace vaultora::test::screens {

namespace {

// A rounding margin for sizes that layouts compute in fractions of a point.
constexpr double tolerance = 0.5;

using ItemVisitor = std::function<void(QQuickItem* item, const QRectF& visibleArea)>;

// Visits every item on show with the part of the scene its clipping parents let it draw in.
void visitShownItems(QQuickItem* item, const QRectF& visibleArea, const ItemVisitor& visit) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    QRectF area = visibleArea;
    if (item->clip()) {
        area = area.intersected(item->mapRectToScene(item->boundingRect()));
    }
    if (area.isEmpty()) {
        return;
    }
    visit(item, area);
    const auto children = item->childItems();
    for (QQuickItem* child : children) {
        visitShownItems(child, area, visit);
    }
}

void visitShownItems(QQuickItem* root, const ItemVisitor& visit) {
    const QRectF scene = root->window() != nullptr
                             ? QRectF(QPointF(0, 0), QSizeF(root->window()->size()))
                             : root->mapRectToScene(root->boundingRect());
    visitShownItems(root, scene, visit);
}

[[nodiscard]] bool showsText(QQuickItem* item) {
    return item->inherits("QQuickText") && !item->property("text").toString().trimmed().isEmpty() &&
           item->width() > 0 && item->height() > 0;
}

[[nodiscard]] QString describe(QQuickItem* item) {
    const QRectF place = item->mapRectToScene(item->boundingRect());
    return QStringLiteral("\"%1\" at %2,%3 %4x%5")
        .arg(item->property("text").toString().left(40))
        .arg(place.x())
        .arg(place.y())
        .arg(place.width())
        .arg(place.height());
}

[[nodiscard]] double effectiveOpacity(QQuickItem* item) {
    double opacity = 1.0;
    for (QQuickItem* level = item; level != nullptr; level = level->parentItem()) {
        opacity *= level->opacity();
    }
    return opacity;
}

} // namespace

int uncoveredPixels(const QImage& frame, const QColor& windowColour, QRect& where) {
    const QImage image = frame.convertToFormat(QImage::Format_RGB32);
    const QRgb uncovered = windowColour.rgb();
    int count = 0;
    where = QRect();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == uncovered) {
                ++count;
                where |= QRect(x, y, 1, 1);
            }
        }
    }
    return count;
}

QStringList clippedTexts(QQuickItem* root) {
    QStringList found;
    visitShownItems(root, [&found](QQuickItem* item, const QRectF& area) {
        if (!showsText(item)) {
            return;
        }
        // A field's placeholder is a hint the field elides by itself where it is narrow.
        const bool elisionAllowed = item->property("elisionAllowed").toBool() ||
                                    item->inherits("QQuickPlaceholderText");
        if (item->property("truncated").toBool() && !elisionAllowed) {
            found << QStringLiteral("elided: ") + describe(item);
            return;
        }
        // The values of QQuickText's NoWrap and Qt::ElideNone.
        const bool wraps = item->property("wrapMode").toInt() != 0;
        const bool elides = item->property("elide").toInt() != Qt::ElideNone;
        if (!wraps && !elides && item->implicitWidth() > item->width() + tolerance) {
            found << QStringLiteral("wider than its box: ") + describe(item);
            return;
        }
        const QRectF place = item->mapRectToScene(item->boundingRect());
        // Text scrolled out above or below is fine; text cut at its side is not.
        if (place.top() < area.bottom() && place.bottom() > area.top() &&
            (place.left() < area.left() - tolerance || place.right() > area.right() + tolerance)) {
            found << QStringLiteral("cut at the side: ") + describe(item);
        }
    });
    return found;
}

QStringList textsOffTheme(QQuickItem* root) {
    const toolkit::Theme& theme = toolkit::Theme::instance();
    QStringList found;
    visitShownItems(root, [&found, &theme](QQuickItem* item, const QRectF&) {
        if (!showsText(item)) {
            return;
        }
        const QColor colour = item->property("color").value<QColor>();
        if (!theme.isTextColour(colour)) {
            found << QStringLiteral("colour %1 outside the theme: ").arg(colour.name()) +
                         describe(item);
        } else if (effectiveOpacity(item) < 1.0) {
            found << QStringLiteral("faded to %1: ").arg(effectiveOpacity(item)) + describe(item);
        }
    });
    return found;
}

QStringList smallTapTargets(QQuickItem* root) {
    const double least = toolkit::Theme::instance().property("touchTarget").toDouble();
    QStringList found;
    visitShownItems(root, [&found, least](QQuickItem* item, const QRectF&) {
        const bool tappable = item->inherits("QQuickAbstractButton") ||
                              item->inherits("QQuickMouseArea") ||
                              item->inherits("QQuickComboBox") || item->inherits("QQuickTextField");
        if (!tappable || !item->isEnabled() || item->height() + tolerance >= least) {
            return;
        }
        found << QStringLiteral("%1 %2 points high: ")
                         .arg(QString::fromLatin1(item->metaObject()->className()))
                         .arg(item->height()) +
                     describe(item);
    });
    return found;
}

} // namespace vaultora::test::screens
