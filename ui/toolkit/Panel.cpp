#include "ui/toolkit/Panel.h"

#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"

namespace vaultora::toolkit {

namespace {

constexpr double minimumPanelWidth = 100.0;

// The button may be the one whose press is being handled right now, so it goes at the next turn
// of the event loop.
void clearButton(QPointer<BarButton>& button) {
    if (button) {
        button->deleteLater();
    }
    button = nullptr;
}

} // namespace

Panel::Panel(QObject* parent) : QObject(parent) {}

Panel::~Panel() = default;

void Panel::setTitle(const QString& title) {
    if (m_title != title) {
        m_title = title;
        emit titleChanged();
    }
}

BarButton* Panel::setLeftBarButton(const QString& title, const QString& imageName,
                                   BarButton::Style style) {
    clearButton(m_leftBarButton);
    m_leftBarButton = new BarButton(title, imageName, style, this);
    emit barButtonsChanged();
    return m_leftBarButton;
}

BarButton* Panel::setRightBarButton(const QString& title, const QString& imageName,
                                    BarButton::Style style) {
    clearButton(m_rightBarButton);
    m_rightBarButton = new BarButton(title, imageName, style, this);
    emit barButtonsChanged();
    return m_rightBarButton;
}

void Panel::clearLeftBarButton() {
    clearButton(m_leftBarButton);
    emit barButtonsChanged();
}

void Panel::clearRightBarButton() {
    clearButton(m_rightBarButton);
    emit barButtonsChanged();
}

double Panel::readableWidth() const {
    return defaultReadableWidth;
}

double Panel::stackableMinWidth() const {
    return minimumPanelWidth;
}

QUrl Panel::viewSource() const {
    return QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/EmptyPanelView.qml"));
}

void Panel::viewDidAppear() {}

NavigationContainer* Panel::navigationContainer() const {
    return m_navigationContainer;
}

Panel* Panel::stackedPanel() {
    if (m_navigationContainer) {
        return m_navigationContainer;
    }
    return this;
}

StackController* Panel::stackController() const {
    if (m_stackController) {
        return m_stackController;
    }
    return m_navigationContainer ? m_navigationContainer->stackController() : nullptr;
}

void Panel::setNavigationContainer(NavigationContainer* container) {
    m_navigationContainer = container;
}

void Panel::setStackController(StackController* stack) {
    if (m_stackController != stack) {
        m_stackController = stack;
        emit stackChanged();
    }
}

QObject* Panel::stackObject() const {
    return m_stackController.data();
}

} // namespace vaultora::toolkit
