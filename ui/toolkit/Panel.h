// A screen that the stacked navigation, a navigation container or a modal presentation shows:
// a title, bar buttons, its width on the stack and the QML file that draws it.
#pragma once

#include "ui/toolkit/BarButton.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class NavigationContainer;
class StackController;

class Panel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Panels are created by controllers")
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(toolkit::BarButton* leftBarButton READ leftBarButton NOTIFY barButtonsChanged)
    Q_PROPERTY(toolkit::BarButton* rightBarButton READ rightBarButton NOTIFY barButtonsChanged)
    Q_PROPERTY(QUrl viewSource READ viewSource CONSTANT)
    // The stacked navigation the panel sits on directly, for views that follow its layout.
    Q_PROPERTY(QObject* stack READ stackObject NOTIFY stackChanged)

public:
    explicit Panel(QObject* parent = nullptr);
    ~Panel() override;

    [[nodiscard]] QString title() const { return m_title; }
    void setTitle(const QString& title);

    // The bar buttons belong to the panel; setting one replaces the earlier one.
    BarButton* setLeftBarButton(const QString& title, const QString& imageName,
                                BarButton::Style style);
    BarButton* setRightBarButton(const QString& title, const QString& imageName,
                                 BarButton::Style style);
    void clearLeftBarButton();
    void clearRightBarButton();
    [[nodiscard]] BarButton* leftBarButton() const { return m_leftBarButton; }
    [[nodiscard]] BarButton* rightBarButton() const { return m_rightBarButton; }

    // A panel narrower than this no longer reads well.
    static constexpr double defaultReadableWidth = 340.0;

    // The narrowest width at which the panel reads well: the stacked navigation puts as many
    // panels side by side as fit at this width. The root panel (the menu) keeps exactly this
    // width beside the panels.
    [[nodiscard]] virtual double readableWidth() const;
    // The narrowest width the stacked navigation may squeeze the panel to.
    [[nodiscard]] virtual double stackableMinWidth() const;
    // The QML file that draws the panel; it gets the panel in its `panel` property.
    [[nodiscard]] virtual QUrl viewSource() const;

    // Called each time the panel has come into view.
    virtual void viewDidAppear();

    // The container the panel is pushed in, if any, and the stacked navigation it is on.
    [[nodiscard]] NavigationContainer* navigationContainer() const;
    [[nodiscard]] StackController* stackController() const;
    // What the stacked navigation holds of the panel: its container, or the panel itself.
    [[nodiscard]] Panel* stackedPanel();

    // Set by the container or stack that takes the panel; not for controllers.
    void setNavigationContainer(NavigationContainer* container);
    void setStackController(StackController* stack);

signals:
    void titleChanged();
    void barButtonsChanged();
    void stackChanged();

private:
    [[nodiscard]] QObject* stackObject() const;

    QString m_title;
    QPointer<BarButton> m_leftBarButton;
    QPointer<BarButton> m_rightBarButton;
    QPointer<NavigationContainer> m_navigationContainer;
    QPointer<StackController> m_stackController;
};

} // namespace vaultora::toolkit
