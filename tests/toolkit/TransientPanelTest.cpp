#include "TestSupport.h"

#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ManualTimerFactory.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/QtTimerFactory.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vaultora::toolkit;
using namespace std::chrono_literals;
using vaultora::toolkit::testing::runDeferredDeletes;

namespace {

struct HostFixture : ::testing::Test {
    HostFixture()
        : timers(std::make_shared<ManualTimerFactory>()), host(timers),
          tester(&host, QAbstractItemModelTester::FailureReportingMode::Fatal) {}
    std::shared_ptr<ManualTimerFactory> timers;
    TransientPanelHost host;
    QAbstractItemModelTester tester;
};

TEST_F(HostFixture, HidesEachPanelAfterItsOwnDelay) {
    QPointer<TransientPanel> copied = host.showInformation("Password copied to clipboard", {}, 1.5);
    QPointer<TransientPanel> error = host.showError("Password is not correct!", "Error", 2.0);
    EXPECT_EQ(copied->style(), TransientPanel::Style::Information);
    EXPECT_EQ(error->style(), TransientPanel::Style::Error);
    EXPECT_EQ(host.rowCount(), 2);

    timers->advance(1499ms);
    EXPECT_EQ(host.rowCount(), 2);
    timers->advance(1ms);
    ASSERT_EQ(host.rowCount(), 1);
    EXPECT_EQ(host.panels().first()->title(), "Password is not correct!");
    timers->advance(500ms);
    EXPECT_EQ(host.rowCount(), 0);

    runDeferredDeletes();
    EXPECT_TRUE(copied.isNull());
    EXPECT_TRUE(error.isNull());
}

TEST_F(HostFixture, ADelayOfZeroKeepsThePanelUntilItIsHidden) {
    TransientPanel* download = host.show(TransientPanel::Style::Information, "Downloading Database",
                                         {}, 0, TransientPanel::ProgressBar::Shown);
    QSignalSpy hidden(download, &TransientPanel::hidden);
    timers->advance(24h);
    EXPECT_EQ(host.rowCount(), 1);
    EXPECT_EQ(timers->activeTimerCount(), 0);

    download->hideAfter(2.0);
    timers->advance(1s);
    download->hideAfter(2.0);
    timers->advance(1500ms);
    EXPECT_EQ(host.rowCount(), 1);
    timers->advance(500ms);
    EXPECT_EQ(host.rowCount(), 0);
    EXPECT_EQ(hidden.count(), 1);
}

TEST_F(HostFixture, HidingAtOnceCancelsThePendingHide) {
    TransientPanel* syncing = host.showInformation("Syncing with DropBox", {}, 5.0);
    QSignalSpy hidden(syncing, &TransientPanel::hidden);
    syncing->hideAfter(0);
    EXPECT_EQ(host.rowCount(), 0);
    EXPECT_EQ(timers->activeTimerCount(), 0);
    syncing->hide();
    timers->advance(10s);
    EXPECT_EQ(hidden.count(), 1);
}

TEST_F(HostFixture, KeepsProgressWithinTheBarAndIgnoresItWithoutOne) {
    TransientPanel* withBar = host.show(TransientPanel::Style::Information, "Downloading", {}, 0,
                                        TransientPanel::ProgressBar::Shown);
    TransientPanel* without = host.showInformation("Plain", {}, 0);

    withBar->setProgress(0.25, Animated::Yes);
    EXPECT_DOUBLE_EQ(withBar->progress(), 0.25);
    EXPECT_TRUE(withBar->isProgressAnimated());
    withBar->setProgress(5000.0 / 1.0, Animated::No);
    EXPECT_DOUBLE_EQ(withBar->progress(), 1.0);
    EXPECT_FALSE(withBar->isProgressAnimated());
    withBar->setProgress(-3, Animated::No);
    EXPECT_DOUBLE_EQ(withBar->progress(), 0.0);
    withBar->setProgress(std::numeric_limits<double>::quiet_NaN(), Animated::No);
    EXPECT_DOUBLE_EQ(withBar->progress(), 0.0);

    EXPECT_FALSE(without->hasProgressBar());
    without->setProgress(0.5, Animated::No);
    EXPECT_DOUBLE_EQ(without->progress(), 0.0);

    host.hideAll();
    EXPECT_EQ(host.rowCount(), 0);
}

TEST(ManualTimerFactory, FiresInDeadlineOrderIncludingTimersStartedByCallbacks) {
    ManualTimerFactory timers;
    auto first = timers.createTimer();
    auto second = timers.createTimer();
    auto chained = timers.createTimer();
    QStringList fired;
    second->start(300ms, [&] { fired << "second"; });
    first->start(100ms, [&] {
        fired << "first";
        chained->start(50ms, [&] { fired << "chained"; });
    });
    {
        auto dropped = timers.createTimer();
        dropped->start(10ms, [&] { fired << "dropped"; });
    }

    timers.advance(200ms);
    EXPECT_EQ(fired, (QStringList{"first", "chained"}));
    EXPECT_EQ(timers.now(), 200ms);
    second->stop();
    timers.advance(1s);
    EXPECT_EQ(fired.size(), 2);
}

TEST(QtTimerFactory, RunsTheCallbackOnTheEventLoop) {
    QtTimerFactory factory;
    auto timer = factory.createTimer();
    // The callback's only visible effect is the destruction of this marker.
    auto* marker = new QObject;
    QSignalSpy destroyed(marker, &QObject::destroyed);
    timer->start(1ms, [marker] { delete marker; });
    EXPECT_TRUE(timer->isActive());
    ASSERT_TRUE(destroyed.wait(5000));
    EXPECT_FALSE(timer->isActive());
}

TEST(AlertPresenter, ClosesAnAlertOnItsFirstButtonPressOnly) {
    AlertPresenter presenter;
    QAbstractItemModelTester tester(&presenter,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    Alert* alert = presenter.show("Login failed", "Check your password", {"Cancel", "Retry"});
    QSignalSpy pressed(alert, &Alert::buttonPressed);
    alert->press(5);
    EXPECT_EQ(presenter.rowCount(), 1);
    alert->press(1);
    alert->press(0);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.first().first().toInt(), 1);
    EXPECT_EQ(presenter.rowCount(), 0);

    Alert* bare = presenter.show("Notice", {}, {});
    EXPECT_EQ(bare->buttons(), QStringList{"OK"});
}

TEST(ProgressOverlay, ShowsItsTitleUntilHidden) {
    ProgressOverlay overlay;
    QSignalSpy changes(&overlay, &ProgressOverlay::changed);
    overlay.show("DropBox syncing");
    EXPECT_TRUE(overlay.isVisible());
    EXPECT_EQ(overlay.title(), "DropBox syncing");
    overlay.hide();
    overlay.hide();
    EXPECT_FALSE(overlay.isVisible());
    EXPECT_EQ(changes.count(), 2);
}

} // namespace
