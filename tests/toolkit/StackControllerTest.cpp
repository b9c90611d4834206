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

struct StackFixture : ::testing::Test {
    StackFixture()
        : stack(std::make_unique<CountingPanel>(QStringLiteral("menu"))),
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

TEST_F(StackFixture, CollapseCoversTheMenuAndBringsNewerPanelsToTheLeftInset) {
    push("first");
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::uncoveredInset);

    stack.collapseStack(1, Animated::Yes);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::coveredInset);

    push("second");
    stack.collapseStack(1, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_DOUBLE_EQ(stack.panelX(1), StackController::coveredInset);

    stack.collapseStack(5, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    stack.collapseStack(-5, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::uncoveredInset);
    EXPECT_DOUBLE_EQ(stack.panelX(1), StackController::uncoveredInset + 600);
}

TEST_F(StackFixture, CollapseLeavesOlderPanelsInViewWhenTheWindowHasRoomForThem) {
    stack.setViewportSize(QSizeF(1400, 900));
    push("first");
    push("second");
    stack.collapseStack(2, Animated::Yes);
    EXPECT_EQ(stack.firstVisiblePosition(), 1);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::coveredInset);
    EXPECT_DOUBLE_EQ(stack.panelX(1), StackController::coveredInset + 600);
}

TEST_F(StackFixture, PanelWidthFollowsTheIdiomOfTheWindowSize) {
    push("first");
    EXPECT_EQ(stack.idiom(), DeviceIdiom::Tablet);
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 600);

    stack.setViewportSize(QSizeF(375, 667));
    EXPECT_EQ(stack.idiom(), DeviceIdiom::Phone);
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 270);
    // A narrow phone squeezes the panel into what the menu strip leaves.
    stack.setViewportSize(QSizeF(300, 500));
    EXPECT_DOUBLE_EQ(stack.panelWidth(0), 240);
}

TEST_F(StackFixture, PushBringsTheNewPanelIntoViewOnANarrowWindow) {
    stack.setViewportSize(QSizeF(375, 667));
    push("first");
    EXPECT_EQ(stack.firstVisiblePosition(), 1);
    push("second");
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_LE(stack.panelX(1) + stack.panelWidth(1), 375);
}

TEST_F(StackFixture, ShrinkingTheWindowKeepsTheTopPanelInView) {
    push("first");
    push("second");
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    stack.collapseStack(-2, Animated::No);
    stack.setViewportSize(QSizeF(1400, 900));
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    stack.setViewportSize(QSizeF(700, 900));
    EXPECT_EQ(stack.firstVisiblePosition(), 2);
    EXPECT_DOUBLE_EQ(stack.panelX(1), StackController::coveredInset);
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
        EXPECT_DOUBLE_EQ(stack.panelWidth(index), 600);
    }
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
    push("first");
    stack.collapseStack(1, Animated::Yes);
    stack.slideBy(100);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::coveredInset + 100);
    stack.slideBy(200);
    stack.endSlide();
    EXPECT_EQ(stack.firstVisiblePosition(), 0);
    EXPECT_DOUBLE_EQ(stack.panelX(0), StackController::uncoveredInset);

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

TEST(NavigationContainer, TakesTheWidthOfItsRootPanelAndReachesTheStack) {
    class WidePanel final : public Panel {
    public:
        double stackWidth(DeviceIdiom) const override { return 420; }
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
