#include "ui/ArtworkImageProvider.h"

#include "ui/ArtworkPainter.h"

namespace vaultora::ui {

ArtworkImageProvider::ArtworkImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage ArtworkImageProvider::requestImage(const QString& id, QSize* size,
                                          const QSize& requestedSize) {
    QSize target = requestedSize;
    if (target.width() <= 0 || target.height() <= 0) {
        target = QSize();
    }
    QImage image = ArtworkPainter::paint(id, target);
    if (size != nullptr) {
        *size = image.size();
    }
    return image;
}

} // namespace vaultora::ui
