#include "ui/toolkit/NavigationContainer.h"

#include "ui/toolkit/StackController.h"

namespace vaultora::toolkit {

NavigationContainer::NavigationContainer(std::unique_ptr<Panel> root, QObject* parent)
    : Panel(parent) {
    adopt(root.release());
}

NavigationContainer::~NavigationContainer() = default;

void NavigationContainer::pushPanel(std::unique_ptr<Panel> panel, Animated animated) {
    if (!panel) {
        return;
    }
    m_animated = animated;
    Panel* added = panel.release();
    adopt(added);
    emit topChanged();
    added->viewDidAppear();
}

void NavigationContainer::popTopPanel(Animated animated) {
    if (!canGoBack()) {
        return;
    }
    m_animated = animated;
    releaseTop();
    emit topChanged();
    topPanel()->viewDidAppear();
}

void NavigationContainer::popToRootPanel(Animated animated) {
    if (!canGoBack()) {
        return;
    }
    m_animated = animated;
    while (canGoBack()) {
        releaseTop();
    }
    emit topChanged();
    topPanel()->viewDidAppear();
}

Panel* NavigationContainer::rootPanel() const {
    return m_panels.first();
}

Panel* NavigationContainer::topPanel() const {
    return m_panels.last();
}

QString NavigationContainer::backTitle() const {
    return canGoBack() ? m_panels.at(m_panels.size() - 2)->title() : QString();
}

void NavigationContainer::goBack() {
    popTopPanel(Animated::Yes);
}

double NavigationContainer::readableWidth() const {
    return rootPanel()->readableWidth();
}

double NavigationContainer::stackableMinWidth() const {
    return rootPanel()->stackableMinWidth();
}

QUrl NavigationContainer::viewSource() const {
    return QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/NavigationContainerView.qml"));
}

void NavigationContainer::viewDidAppear() {
    topPanel()->viewDidAppear();
}

void NavigationContainer::adopt(Panel* panel) {
    panel->setParent(this);
    panel->setNavigationContainer(this);
    m_panels.append(panel);
}

void NavigationContainer::releaseTop() {
    Panel* released = m_panels.takeLast();
    if (StackController* stack = stackController()) {
        stack->forgetDelegateWithin(released);
    }
    released->setNavigationContainer(nullptr);
    // The back button that asked for this may belong to the panel itself.
    released->deleteLater();
}

} // namespace vaultora::toolkit
