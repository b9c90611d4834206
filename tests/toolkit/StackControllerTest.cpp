#include "TestSupport.h"

#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/StackedViewDelegate.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;
using vaultora::toolkit::testing::runDeferredDeletes;

namespace {

class CountingPanel : public Panel {
public:
    explicit CountingPanel(const QString& name) { setTitle(name); }
    void viewDidAppear() override { ++appearances; }
    int appearances = 0;
};

class DelegatePanel final : public CountingPanel, public StackedViewDelegate {
public:
    using CountingPanel::CountingPanel;
    void stackedView(StackController&, bool didZoomInOut) override {
        ++calls;
        lastZoom = didZoomInOut;
    }
    int calls = 0;
    bool lastZoom = false;
};

// A menu as wide as the application's beside panels.
class MenuPanel final : public CountingPanel {
public:
    using CountingPanel::CountingPanel;
    double readableWidth() const override { return 200; }
};

constexpr double menuWidth = 200;

struct StackFixture : ::testing::Test {
    StackFixture()
        : stack(std::make_unique<MenuPanel>(QStringLiteral("menu"))),
          tester(&stack, QAbstractItemModelTester::FailureReportingMode::Fatal) {
        stack.setViewportSize(QSizeF(1024, 768));
    }

    Panel* push(const QString& name, Panel* base = nullptr) {
        auto panel = std::make_unique<CountingPanel>(name);
        Panel* raw = panel.get();
        stack.pushPanel(std::move(panel), base, Animated::Yes);
        return raw;
    }

    QStringList titles() const {
        QStringList names;
        for (Panel* panel : stack.viewControllers()) {
            names << panel->title();
        }
        return names;
    }

    StackController stack;
    QAbstractItemModelTester tester;
};

TEST_F(StackFixture, PushWithoutBaseAddsAtTheRightAndClosesNothing) {
    Panel* first = push("first");
    push("second");
    push("third");
    EXPECT_EQ(titles(), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(stack.topPanel()->title(), "third");
    EXPECT_EQ(first->stackController(), &stack);
    EXPECT_EQ(static_cast<CountingPanel*>(first)->appearances, 1);
}

TEST_F(StackFixture, PushWithBaseClosesTheEarlierPanelFromThatBaseAndEverythingRightOfIt) {
    Panel* database = push("database");
    QPointer<Panel> group = push("group", database);
    QPointer<Panel> entry = push("entry", group);
    push("other group", database);
    runDeferredDeletes();

    EXPECT_EQ(titles(), (QStringList{"database", "other group"}));
    EXPECT_TRUE(group.isNull());
    EXPECT_TRUE(entry.isNull());
}

TEST_F(StackFixture, PushWithBaseLeavesPanelsFromOtherBasesAlone) {
    Panel* first = push("first");
    Panel* group = push("group", first);
    push("second database");
    push("entry", group);
    push("another entry", group);
    EXPECT_EQ(titles(), (QStringList{"first", "group", "second database", "another entry"}));
}

TEST_F(StackFixture, PopsOnlyTheTopmostPanel) {
    Panel* first = push("first");
    Panel* second = push("second");

    EXPECT_FALSE(stack.popPanel(first, Animated::Yes));
    EXPECT_EQ(titles(), (QStringList{"first", "second"}));
    EXPECT_TRUE(stack.popPanel(second, Animated::Yes));
    EXPECT_EQ(titles(), (QStringList{"first"}));
    EXPECT_EQ(static_cast<CountingPanel*>(first)->appearances, 2);

    stack.popTopPanel(Animated::No);
    stack.popTopPanel(Animated::No);
    EXPECT_TRUE(stack.viewControllers().isEmpty());
    EXPECT_EQ(stack.topPanel(), nullptr);
    EXPECT_EQ(stack.rootPanel()->title(), "menu");
}

TEST_F(StackFixture, ClosesAPanelInTheMiddleAndOnlyIt) {
    Panel* first = push("first");
    QPointer<Panel> middle = push("middle");
    Panel* last = push("last", middle);
    stack.collapseStack(3, Animated::No);
    const int position = stack.firstVisiblePosition();

    EXPECT_FALSE(stack.closePanel(stack.rootPanel(), Animated::Yes)) << "the menu is no panel";
    EXPECT_FALSE(stack.closePanel(nullptr, Animated::Yes));
    EXPECT_TRUE(stack.closePanel(middle, Animated::Yes));
    EXPECT_EQ(titles(), (QStringList{"first", "last"}));
    EXPECT_LE(stack.firstVisiblePosition(), std::min(position, stack.count()));
    EXPECT_TRUE(stack.data(stack.index(1), StackController::VisibleRole).toBool())
        << "the topmost panel stays in view";
    EXPECT_LE(stack.panelX(1) + stack.panelWidth(1), 1024.0);
    runDeferredDeletes();
    EXPECT_TRUE(middle.isNull());
    EXPECT_EQ(static_cast<CountingPanel*>(last)->appearances, 1) << "the top did not change";

    EXPECT_TRUE(stack.closePanel(last, Animated::Yes));
    EXPECT_EQ(titles(), (QStringList{"first"}));
    EXPECT_EQ(static_cast<CountingPanel*>(first)->appearances, 2) << "closing the top is a pop";
}

TEST_F(StackFixture, PoppingReleasesThePanelAndWhatItOwns) {
    Panel* panel = push("database");
    QPointer<QObject> openTree = new QObject(panel);
    QPointer<Panel> watched = panel;

    stack.popTopPanel(Animated::Yes);
    runDeferredDeletes();

    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(openTree.isNull());
}

TEST_F(StackFixture, CollapseCoversTheMenuOnlyWhenThePanelsNoLongerFitBesideIt) {
    push("first");
    stack.collapseStack(1, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), menuWidth);
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 1024 - menuWidth);

    push("second");
    stack.collapseStack(1, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(1), menuWidth + (1024 - menuWidth) / 2);

    // A third panel does not fit beside the menu: the menu is covered but its strip and the
    // two newest panels share the rest.
    push("third");
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_DOUBLE_EQ(stack.panelX(1), StackController::coveredInset);
    EXPECT_DOUBLE_EQ(stack.panelX(2), StackController::coveredInset + (1024 - 60) / 2.0);
    EXPECT_DOUBLE_EQ(stack.menuVisibleWidth(), StackController::coveredInset);

    stack.collapseStack(5, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    stack.collapseStack(-5, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), menuWidth);
    EXPECT_DOUBLE_EQ(stack.menuVisibleWidth(), menuWidth);
}

TEST_F(StackFixture, ABiggerWindowBringsBackHiddenPanelsAndASmallerOneKeepsTheTopInView) {
    stack.setViewportSize(QSizeF(768, 1024));
    push("first");
    push("second");
    push("third");
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_FALSE(stack.data(stack.index(0), StackController::VisibleRole).toBool());

    stack.setViewportSize(QSizeF(1280, 900));
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    for (int index = 0; index < 3; ++index) {
        EXPECT_TRUE(stack.data(stack.index(index), StackController::VisibleRole).toBool());
        EXPECT_DOUBLE_EQ(stack.panelWidth(index), (1280 - menuWidth) / 3);
    }

    stack.setViewportSize(QSizeF(390, 844));
    EXPECT_EQ(stack.firstVisiblePosition(), 3);
    EXPECT_DOUBLE_EQ(stack.panelX(2), StackController::coveredInset);
    EXPECT_DOUBLE_EQ(stack.panelWidth(2), 390 - StackController::coveredInset);
}

TEST_F(StackFixture, APhoneWindowGivesTheMenuTheWholeWidthAndPanelsAllButItsStrip) {
    stack.setViewportSize(QSizeF(390, 844));
    EXPECT_DOUBLE_EQ(stack.menuWidth(), 390);
    EXPECT_DOUBLE_EQ(stack.menuVisibleWidth(), 390);
    push("first");
    stack.collapseStack(1, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 1);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::coveredInset);
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 390 - StackController::coveredInset);
    EXPECT_DOUBLE_EQ(stack.menuVisibleWidth(), StackController::coveredInset);
}

TEST_F(StackFixture, PanelsReachTheWindowsRightEdgeAtEveryWidth) {
    for (const double width : {320.0, 390.0, 540.0, 700.0, 768.0, 1024.0, 1280.0, 1920.0}) {
        stack.setViewportSize(QSizeF(width, 800));
        for (int panels = 1; panels <= 4; ++panels) {
            push(QStringLiteral("panel %1").arg(panels));
            stack.collapseStack(1, Animated::No);
            const int top = stack.count() - 1;
            EXPECT_NEAR(stack.panelX(top) + stack.panelWidth(top), width, 1e-9)
                << width << " wide with " << panels << " panels";
            EXPECT_GE(stack.panelWidth(top), std::min(Panel::defaultReadableWidth, width - 60))
                << width << " wide with " << panels << " panels";
        }
        while (stack.count() > 0) {
            stack.popTopPanel(Animated::No);
        }
    }
}

TEST_F(StackFixture, AVeryNarrowWindowSqueezesPanelsNoFurtherThanTheirLeast) {
    push("first");
    stack.setViewportSize(QSizeF(300, 500));
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 240);
    stack.setViewportSize(QSizeF(120, 500));
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), stack.topPanel()->stackableMinWidth());
}

TEST_F(StackFixture, PushBringsTheNewPanelIntoViewOnANarrowWindow) {
    stack.setViewportSize(QSizeF(375, 667));
    push("first");
    EXPECT_EQ(stack.firstVisiblePosition(), 1);
    push("second");
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_LE(stack.panelX(1) + stack.panelWidth(1), 375);
}

TEST_F(StackFixture, FullScreenAndNormalModeTellTheDelegateOncePerPanel) {
    push("first");
    auto delegatePanel = std::make_unique<DelegatePanel>("browser");
    DelegatePanel* delegate = delegatePanel.get();
    stack.pushPanel(std::move(delegatePanel), nullptr, Animated::Yes);
    stack.setDelegate(delegate);

    stack.doFullScreen();
    EXPECT_TRUE(stack.isFullScreen());
    EXPECT_FALSE(stack.isSlidingEnabled());
    EXPECT_EQ(delegate->calls, 2);
    EXPECT_TRUE(delegate->lastZoom);
    for (int index = 0; index < 2; ++index) {
        EXPECT_DOUBLE_EQ(stack.panelX(index), 0);
        EXPECT_DOUBLE_EQ(stack.panelWidth(index), 1024);
    }

    stack.doNormalScreen();
    EXPECT_FALSE(stack.isFullScreen());
    EXPECT_TRUE(stack.isSlidingEnabled());
    EXPECT_EQ(delegate->calls, 4);
    EXPECT_FALSE(delegate->lastZoom);
    for (int index = 0; index < 2; ++index) {
        EXPECT_DOUBLE_EQ(stack.panelX(index), StackController::coveredInset);
    }
    EXPECT_DOUBLE_EQ(stack.panelWidth(1), 1024 - StackController::coveredInset);
}

TEST_F(StackFixture, ForgetsADelegateThatClosedEvenInsideAContainer) {
    auto browser = std::make_unique<DelegatePanel>("browser");
    DelegatePanel* delegate = browser.get();
    stack.pushPanel(std::make_unique<NavigationContainer>(std::move(browser)), nullptr,
                    Animated::Yes);
    stack.setDelegate(delegate);
    EXPECT_EQ(delegate->stackController(), &stack);

    stack.popTopPanel(Animated::Yes);
    EXPECT_EQ(stack.delegate(), nullptr);
    runDeferredDeletes();
    push("other");
    stack.doFullScreen();
    EXPECT_EQ(stack.delegate(), nullptr);
}

TEST_F(StackFixture, SlidingRightUncoversTheMenuAndIsOffInFullScreen) {
    stack.setViewportSize(QSizeF(390, 844));
    push("first");
    stack.collapseStack(1, Animated::Yes);
    stack.slideBy(100);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::coveredInset + 100);
    stack.slideBy(200);
    stack.endSlide();
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), stack.menuWidth());

    stack.slideBy(-10);
    stack.endSlide();
    EXPECT_EQ(stack.firstVisiblePosition(), 0);

    stack.doFullScreen();
    stack.slideBy(300);
    EXPECT_DOUBLE_EQ(stack.slideOffset(), 0);
}

TEST(NavigationContainer, DrillsDownAndBackWithoutEverPoppingItsRoot) {
    auto root = std::make_unique<CountingPanel>("root");
    CountingPanel* rootPanel = root.get();
    NavigationContainer container(std::move(root));
    EXPECT_FALSE(container.canGoBack());

    auto child = std::make_unique<CountingPanel>("child");
    QPointer<Panel> childPanel = child.get();
    container.pushPanel(std::move(child), Animated::Yes);
    EXPECT_EQ(container.topPanel(), childPanel.data());
    EXPECT_EQ(childPanel->navigationContainer(), &container);
    EXPECT_EQ(container.backTitle(), "root");

    container.goBack();
    container.goBack();
    runDeferredDeletes();
    EXPECT_TRUE(childPanel.isNull());
    EXPECT_EQ(container.topPanel(), rootPanel);
    EXPECT_EQ(rootPanel->appearances, 1);
}

TEST(NavigationContainer, TakesTheReadableWidthOfItsRootPanelAndReachesTheStack) {
    class WidePanel final : public Panel {
    public:
        double readableWidth() const override { return 420; }
    };
    StackController stack(std::make_unique<Panel>());
    auto container = std::make_unique<NavigationContainer>(std::make_unique<WidePanel>());
    NavigationContainer* raw = container.get();
    stack.pushPanel(std::move(container), nullptr, Animated::No);
    raw->pushPanel(std::make_unique<Panel>(), Animated::No);

    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 420);
    EXPECT_EQ(raw->topPanel()->stackController(), &stack);
    raw->popToRootPanel(Animated::No);
    EXPECT_EQ(raw->viewControllers().size(), 1);
}

} // namespace
