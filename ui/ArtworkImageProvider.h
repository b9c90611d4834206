// Serves the artwork to QML as image://vaultora/NAME.
#pragma once

#include <QQuickImageProvider>

namespace vaultora::ui {

class ArtworkImageProvider final : public QQuickImageProvider {
public:
    ArtworkImageProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};

} // namespace vaultora::ui
