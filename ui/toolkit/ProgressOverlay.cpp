#include "ui/toolkit/ProgressOverlay.h"

namespace vaultora::toolkit {

ProgressOverlay::ProgressOverlay(QObject* parent) : QObject(parent) {}

void ProgressOverlay::show(const QString& title) {
    m_visible = true;
    m_title = title;
    emit changed();
}

void ProgressOverlay::hide() {
    if (m_visible) {
        m_visible = false;
        emit changed();
    }
}

} // namespace vaultora::toolkit
