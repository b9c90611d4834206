#include "ui/toolkit/ProgressOverlay.h"

namespace vaultora::toolkit {

ProgressOverlay::ProgressOverlay(QObject* parent) : QObject(parent) {}

void ProgressOverlay::show(const QString& title) {
    m_visible = true;
    m_cancellable = false;
    m_title = title;
    emit changed();
}

void ProgressOverlay::showCancellable(const QString& title) {
    m_visible = true;
    m_cancellable = true;
    m_title = title;
    emit changed();
}

void ProgressOverlay::hide() {
    if (m_visible) {
        m_visible = false;
        m_cancellable = false;
        emit changed();
    }
}

void ProgressOverlay::requestCancel() {
    if (m_visible && m_cancellable) {
        emit cancelRequested();
    }
}

} // namespace vaultora::toolkit
