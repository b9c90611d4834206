#include "ui/toolkit/StackController.h"

#include "ui/toolkit/StackedViewDelegate.h"

#include <algorithm>
#include <cmath>

namespace vaultora::toolkit {

namespace {

// A slide shorter than this snaps back to where it started.
constexpr double slideSnapDistance = 40.0;

bool isWithin(Panel* panel, StackedViewDelegate* delegate) {
    if (dynamic_cast<StackedViewDelegate*>(panel) == delegate) {
        return true;
    }
    const auto inner = panel->findChildren<Panel*>();
    return std::ranges::any_of(inner, [delegate](Panel* child) {
        return dynamic_cast<StackedViewDelegate*>(child) == delegate;
    });
}

} // namespace

StackController::StackController(std::unique_ptr<Panel> root, QObject* parent)
    : QAbstractListModel(parent), m_rootPanel(root.release()) {
    m_rootPanel->setParent(this);
    m_rootPanel->setStackController(this);
}

StackController::~StackController() {
    disconnect(m_delegateConnection);
}

void StackController::pushPanel(std::unique_ptr<Panel> panel, Panel* base, Animated animated) {
    if (!panel) {
        return;
    }
    if (base != nullptr) {
        const auto earlier = std::ranges::find_if(
            m_entries, [base](const Entry& entry) { return entry.base.data() == base; });
        if (earlier != m_entries.end()) {
            removeFrom(static_cast<int>(earlier - m_entries.begin()));
        }
    }
    Panel* added = panel.release();
    added->setParent(this);
    added->setStackController(this);
    const int row = count();
    beginInsertRows({}, row, row);
    m_entries.push_back({added, base});
    endInsertRows();
    emit countChanged();
    alignTop();
    relayout(animated);
    added->viewDidAppear();
}

void StackController::popTopPanel(Animated animated) {
    if (m_entries.empty()) {
        return;
    }
    removeFrom(count() - 1);
    bringBackPanelsThatFit();
    relayout(animated);
    if (Panel* top = topPanel()) {
        top->viewDidAppear();
    }
}

bool StackController::popPanel(Panel* panel, Animated animated) {
    if (panel == nullptr || panel != topPanel()) {
        return false;
    }
    popTopPanel(animated);
    return true;
}

bool StackController::closePanel(Panel* panel, Animated animated) {
    const auto found = std::ranges::find_if(
        m_entries, [panel](const Entry& entry) { return entry.panel == panel; });
    if (panel == nullptr || found == m_entries.end()) {
        return false;
    }
    if (panel == topPanel()) {
        popTopPanel(animated);
        return true;
    }
    const int index = static_cast<int>(found - m_entries.begin());
    beginRemoveRows({}, index, index);
    m_entries.erase(found);
    endRemoveRows();
    forgetDelegateWithin(panel);
    panel->setStackController(nullptr);
    panel->deleteLater();
    // The panels right of it move one place to the left, and so does the first visible one.
    if (m_position > index) {
        --m_position;
    }
    emit countChanged();
    collapseStack(0, animated);
    return true;
}

QList<Panel*> StackController::viewControllers() const {
    QList<Panel*> panels;
    panels.reserve(count());
    for (const Entry& entry : m_entries) {
        panels.append(entry.panel);
    }
    return panels;
}

Panel* StackController::topPanel() const {
    return m_entries.empty() ? nullptr : m_entries.back().panel;
}

void StackController::collapseStack(int steps, Animated animated) {
    m_position = std::clamp(m_position + steps, 0, count());
    bringBackPanelsThatFit();
    relayout(animated);
}

void StackController::doFullScreen() {
    m_fullScreen = true;
    m_slideOffset = 0.0;
    relayout(Animated::Yes);
    tellDelegate();
}

void StackController::doNormalScreen() {
    m_fullScreen = false;
    m_slideOffset = 0.0;
    // Every panel goes back to the left inset, the topmost in view.
    m_position = count();
    relayout(Animated::Yes);
    tellDelegate();
}

void StackController::showFullScreenStateOn(BarButton* button) {
    if (button == nullptr) {
        return;
    }
    button->setChecked(m_fullScreen);
    connect(this, &StackController::geometryChanged, button,
            [this, button] { button->setChecked(m_fullScreen); });
}

void StackController::setDelegate(StackedViewDelegate* delegate) {
    disconnect(m_delegateConnection);
    m_delegate = delegate;
    // A delegate that is a QObject is forgotten when it is destroyed, wherever it lived.
    if (auto* object = dynamic_cast<QObject*>(delegate)) {
        m_delegateConnection =
            connect(object, &QObject::destroyed, this, [this] { m_delegate = nullptr; });
    }
}

void StackController::forgetDelegateWithin(Panel* releasedPanel) {
    if (m_delegate != nullptr && releasedPanel != nullptr && isWithin(releasedPanel, m_delegate)) {
        setDelegate(nullptr);
    }
}

void StackController::setViewportSize(const QSizeF& size) {
    if (size == m_viewportSize) {
        return;
    }
    m_viewportSize = size;
    m_idiom = idiomForWindowSize(size);
    m_slideOffset = 0.0;
    alignTop();
    bringBackPanelsThatFit();
    relayout(Animated::No);
}

StackLayout StackController::layout() const {
    // The widest need among the panels decides how many fit side by side.
    double readableWidth = m_entries.empty() ? Panel::defaultReadableWidth : 0.0;
    for (const Entry& entry : m_entries) {
        readableWidth = std::max(readableWidth, entry.panel->readableWidth());
    }
    return {m_viewportSize.width(), m_rootPanel->readableWidth(), readableWidth};
}

double StackController::menuWidth() const {
    if (m_viewportSize.width() <= 0.0) {
        return m_rootPanel->readableWidth();
    }
    return layout().menuWidth();
}

double StackController::leftInset() const {
    if (m_fullScreen) {
        return 0.0;
    }
    return layout().leftInset(m_position);
}

double StackController::menuVisibleWidth() const {
    if (m_fullScreen && !m_entries.empty()) {
        return 0.0;
    }
    const double uncovered = m_entries.empty() ? menuWidth() : panelX(std::max(m_position - 1, 0));
    return std::clamp(uncovered, 0.0, menuWidth());
}

double StackController::rawPanelX(int index) const {
    if (m_fullScreen) {
        return 0.0;
    }
    const int firstVisible = std::max(m_position - 1, 0);
    if (index <= firstVisible) {
        return index == firstVisible ? leftInset() : coveredInset;
    }
    double x = leftInset();
    for (int before = firstVisible; before < index; ++before) {
        x += panelWidth(before);
    }
    return x;
}

double StackController::panelX(int index) const {
    if (index < 0 || index >= count()) {
        return 0.0;
    }
    const double x = rawPanelX(index);
    if (m_fullScreen || index < m_position - 1) {
        return x;
    }
    return std::max(coveredInset, x + m_slideOffset);
}

double StackController::panelWidth(int index) const {
    if (index < 0 || index >= count()) {
        return 0.0;
    }
    const Panel* panel = m_entries[static_cast<std::size_t>(index)].panel;
    if (m_fullScreen) {
        return m_viewportSize.width();
    }
    if (m_viewportSize.width() <= 0.0) {
        return panel->readableWidth();
    }
    return std::max(layout().panelWidth(m_position, count()), panel->stackableMinWidth());
}

void StackController::slideBy(double deltaX) {
    if (!isSlidingEnabled() || m_entries.empty()) {
        return;
    }
    m_slideOffset += deltaX;
    relayout(Animated::No);
}

void StackController::endSlide() {
    if (m_slideOffset == 0.0) {
        return;
    }
    const double offset = m_slideOffset;
    m_slideOffset = 0.0;
    if (std::abs(offset) < slideSnapDistance) {
        relayout(Animated::Yes);
        return;
    }
    const double stepWidth = panelWidth(std::max(m_position - 1, 0));
    int steps = static_cast<int>(std::lround(offset / std::max(stepWidth, 1.0)));
    if (steps == 0) {
        steps = offset > 0.0 ? 1 : -1;
    }
    // Sliding to the right uncovers what lies to the left: the position moves back.
    m_position = std::clamp(m_position - steps, 0, count());
    relayout(Animated::Yes);
}

int StackController::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant StackController::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const int row = index.row();
    switch (role) {
    case PanelRole:
        return QVariant::fromValue<QObject*>(m_entries[static_cast<std::size_t>(row)].panel);
    case XRole:
        return panelX(row);
    case WidthRole:
        return panelWidth(row);
    case VisibleRole:
        return m_fullScreen ? row == count() - 1 : row >= m_position - 1;
    default:
        return {};
    }
}

QHash<int, QByteArray> StackController::roleNames() const {
    return {{PanelRole, "panel"},
            {XRole, "panelX"},
            {WidthRole, "panelWidth"},
            {VisibleRole, "panelVisible"}};
}

void StackController::removeFrom(int index) {
    const int last = count() - 1;
    if (index < 0 || index > last) {
        return;
    }
    beginRemoveRows({}, index, last);
    std::vector<Panel*> released;
    for (auto entry = m_entries.begin() + index; entry != m_entries.end(); ++entry) {
        released.push_back(entry->panel);
    }
    m_entries.erase(m_entries.begin() + index, m_entries.end());
    endRemoveRows();
    for (Panel* panel : released) {
        forgetDelegateWithin(panel);
        panel->setStackController(nullptr);
        // A panel may be closed from inside one of its own signal handlers (its Close button),
        // so it is destroyed at the next turn of the event loop.
        panel->deleteLater();
    }
    m_position = std::min(m_position, count());
    emit countChanged();
}

void StackController::alignTop() {
    if (m_fullScreen || m_viewportSize.width() <= 0.0) {
        return;
    }
    const StackLayout fitting = layout();
    while (m_position < count() && !fitting.fits(m_position, count())) {
        ++m_position;
    }
}

void StackController::bringBackPanelsThatFit() {
    if (m_fullScreen || m_viewportSize.width() <= 0.0) {
        return;
    }
    const StackLayout fitting = layout();
    while (m_position > 0 && fitting.fits(m_position - 1, count())) {
        --m_position;
    }
}

void StackController::relayout(Animated animated) {
    m_animated = animated;
    if (!m_entries.empty()) {
        emit dataChanged(index(0), index(count() - 1), {XRole, WidthRole, VisibleRole});
    }
    emit geometryChanged();
}

void StackController::tellDelegate() {
    const bool fullScreen = m_fullScreen;
    const int panels = count();
    for (int told = 0; told < panels && m_delegate != nullptr; ++told) {
        m_delegate->stackedView(*this, fullScreen);
    }
}

} // namespace vaultora::toolkit
