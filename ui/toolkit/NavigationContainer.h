// A panel that holds its own drill-down stack of panels, with a bar showing the top panel's
// title and buttons and a back button once something was pushed.
#pragma once

#include "ui/toolkit/Animated.h"
#include "ui/toolkit/Panel.h"

#include <QList>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class NavigationContainer final : public Panel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Navigation containers are created by controllers")
    Q_PROPERTY(toolkit::Panel* topPanel READ topPanel NOTIFY topChanged)
    Q_PROPERTY(bool canGoBack READ canGoBack NOTIFY topChanged)
    Q_PROPERTY(QString backTitle READ backTitle NOTIFY topChanged)
    Q_PROPERTY(bool animated READ isAnimated NOTIFY topChanged)

public:
    explicit NavigationContainer(std::unique_ptr<Panel> root, QObject* parent = nullptr);
    ~NavigationContainer() override;

    void pushPanel(std::unique_ptr<Panel> panel, Animated animated);
    // Goes back one level; the root panel is never popped.
    void popTopPanel(Animated animated);
    void popToRootPanel(Animated animated);

    [[nodiscard]] Panel* rootPanel() const;
    [[nodiscard]] Panel* topPanel() const;
    [[nodiscard]] QList<Panel*> viewControllers() const { return m_panels; }
    [[nodiscard]] bool canGoBack() const { return m_panels.size() > 1; }
    // The title of the panel below the top one, shown on the back button.
    [[nodiscard]] QString backTitle() const;
    [[nodiscard]] bool isAnimated() const { return m_animated == Animated::Yes; }

    // The back button of the bar.
    Q_INVOKABLE void goBack();

    [[nodiscard]] double readableWidth() const override;
    [[nodiscard]] double stackableMinWidth() const override;
    [[nodiscard]] QUrl viewSource() const override;
    void viewDidAppear() override;

signals:
    void topChanged();

private:
    void adopt(Panel* panel);
    void releaseTop();

    QList<Panel*> m_panels;
    Animated m_animated = Animated::No;
};

} // namespace vaultora::toolkit
