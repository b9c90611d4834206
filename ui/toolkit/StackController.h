// The stacked navigation: a root panel (the menu) at the left and a stack of panels to its right
// that slide over it; as a list model it gives QML each panel with its place and width.
#pragma once

#include "ui/toolkit/Animated.h"
#include "ui/toolkit/DeviceIdiom.h"
#include "ui/toolkit/Panel.h"
#include "ui/toolkit/StackLayout.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <vector>

namespace vaultora::toolkit {

class StackedViewDelegate;

class StackController final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The stacked navigation is created by the application")
    Q_PROPERTY(toolkit::Panel* rootPanel READ rootPanel CONSTANT)
    Q_PROPERTY(bool fullScreen READ isFullScreen NOTIFY geometryChanged)
    Q_PROPERTY(bool slidingEnabled READ isSlidingEnabled NOTIFY geometryChanged)
    Q_PROPERTY(bool tablet READ isTablet NOTIFY geometryChanged)
    Q_PROPERTY(double menuWidth READ menuWidth NOTIFY geometryChanged)
    Q_PROPERTY(double leftInset READ leftInset NOTIFY geometryChanged)
    Q_PROPERTY(double menuVisibleWidth READ menuVisibleWidth NOTIFY geometryChanged)
    Q_PROPERTY(bool animated READ isAnimated NOTIFY geometryChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles { PanelRole = Qt::UserRole + 1, XRole, WidthRole, VisibleRole };
    Q_ENUM(Roles)

    // The strip of the menu left visible at the left of the panels.
    static constexpr double coveredInset = StackLayout::menuStripWidth;

    explicit StackController(std::unique_ptr<Panel> root, QObject* parent = nullptr);
    ~StackController() override;

    [[nodiscard]] Panel* rootPanel() const { return m_rootPanel; }

    // Adds the panel at the right end. With a base, a panel pushed earlier from the same base is
    // closed first together with every panel to its right.
    void pushPanel(std::unique_ptr<Panel> panel, Panel* base, Animated animated);
    // Closes the topmost panel; nothing when the stack is empty.
    void popTopPanel(Animated animated);
    // Closes the panel only when it is the topmost; returns whether it was closed.
    bool popPanel(Panel* panel, Animated animated);
    // Closes the panel wherever it stands, and only it: the panels to its right stay. Returns
    // whether it was on the stack.
    bool closePanel(Panel* panel, Animated animated);

    [[nodiscard]] QList<Panel*> viewControllers() const;
    [[nodiscard]] Panel* topPanel() const;
    [[nodiscard]] int count() const { return static_cast<int>(m_entries.size()); }

    // Moves the first visible position `steps` panels to the right (negative: to the left),
    // then brings back to the left every panel that still fits.
    void collapseStack(int steps, Animated animated);
    // Position 0 has the menu uncovered; position p > 0 shows panel p - 1 at the left inset.
    [[nodiscard]] int firstVisiblePosition() const { return m_position; }

    void doFullScreen();
    void doNormalScreen();
    [[nodiscard]] bool isFullScreen() const { return m_fullScreen; }
    // Keeps the button checked while the navigation is in full-screen mode.
    void showFullScreenStateOn(BarButton* button);

    // The delegate is not owned; it is forgotten when the panel that is the delegate closes.
    void setDelegate(StackedViewDelegate* delegate);
    [[nodiscard]] StackedViewDelegate* delegate() const { return m_delegate; }
    // Forgets the delegate when it is the panel or one of the panels inside it; called for every
    // panel that leaves the navigation, also from inside a navigation container.
    void forgetDelegateWithin(Panel* releasedPanel);

    // The size of the navigation's area, given by the view on every resize; it decides the
    // device idiom and lays the stack out afresh: the newest panel and as many before it as fit.
    Q_INVOKABLE void setViewportSize(const QSizeF& size);
    [[nodiscard]] QSizeF viewportSize() const { return m_viewportSize; }
    [[nodiscard]] DeviceIdiom idiom() const { return m_idiom; }
    [[nodiscard]] bool isTablet() const { return m_idiom == DeviceIdiom::Tablet; }
    [[nodiscard]] double menuWidth() const;
    [[nodiscard]] double leftInset() const;
    // The part of the menu not covered by panels.
    [[nodiscard]] double menuVisibleWidth() const;
    [[nodiscard]] bool isSlidingEnabled() const { return !m_fullScreen; }
    [[nodiscard]] bool isAnimated() const { return m_animated == Animated::Yes; }

    // The place of a panel on the stack, in points from the navigation's left edge.
    [[nodiscard]] double panelX(int index) const;
    [[nodiscard]] double panelWidth(int index) const;

    // The sideways slide with one finger: offsets follow the finger, the end snaps to a position.
    Q_INVOKABLE void slideBy(double deltaX);
    Q_INVOKABLE void endSlide();
    [[nodiscard]] double slideOffset() const { return m_slideOffset; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void geometryChanged();
    void countChanged();

private:
    struct Entry {
        Panel* panel;
        // The base may close before the panel pushed from it.
        QPointer<Panel> base;
    };

    void removeFrom(int index);
    void relayout(Animated animated);
    void tellDelegate();
    void alignTop();
    void bringBackPanelsThatFit();
    [[nodiscard]] StackLayout layout() const;
    [[nodiscard]] double rawPanelX(int index) const;

    Panel* m_rootPanel;
    std::vector<Entry> m_entries;
    StackedViewDelegate* m_delegate = nullptr;
    QMetaObject::Connection m_delegateConnection;
    QSizeF m_viewportSize;
    DeviceIdiom m_idiom = DeviceIdiom::Tablet;
    int m_position = 0;
    bool m_fullScreen = false;
    double m_slideOffset = 0.0;
    Animated m_animated = Animated::No;
};

} // namespace vaultora::toolkit
