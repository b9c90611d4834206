#include "ui/toolkit/BarButton.h"

namespace vaultora::toolkit {

BarButton::BarButton(const QString& title, const QString& imageName, Style style, QObject* parent)
    : QObject(parent), m_title(title), m_imageName(imageName), m_style(style) {}

void BarButton::setTitle(const QString& title) {
    if (m_title != title) {
        m_title = title;
        emit changed();
    }
}

void BarButton::setImageName(const QString& imageName) {
    if (m_imageName != imageName) {
        m_imageName = imageName;
        emit changed();
    }
}

void BarButton::setStyle(Style style) {
    if (m_style != style) {
        m_style = style;
        emit changed();
    }
}

void BarButton::setChecked(bool checked) {
    if (m_checked != checked) {
        m_checked = checked;
        emit changed();
    }
}

void BarButton::press() {
    emit pressed();
}

} // namespace vaultora::toolkit
