#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/toolkit/ManualTimerFactory.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTouchEvent>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

class IdleWindow : public testing::Test {
protected:
    IdleWindow()
        : timers(std::make_shared<vaultora::toolkit::ManualTimerFactory>()), window(timers) {
        vaultora::base::NotificationCenter& center =
            vaultora::base::NotificationCenter::defaultCenter();
        center.addObserver(QString::fromLatin1(vaultora::base::Notifications::windowIdle),
                           &observer, [this](const vaultora::base::Notification& notification) {
                               EXPECT_EQ(notification.object, &window);
                               posted.push_back("idle");
                           });
        center.addObserver(
            QString::fromLatin1(vaultora::base::Notifications::windowActive), &observer,
            [this](const vaultora::base::Notification&) { posted.push_back("active"); });
    }

    void mouse(QEvent::Type type) {
        QMouseEvent event(type, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    }

    void click() {
        mouse(QEvent::MouseButtonPress);
        mouse(QEvent::MouseButtonRelease);
    }

    std::shared_ptr<vaultora::toolkit::ManualTimerFactory> timers;
    vaultora::ui::IdleWatchingWindow window;
    QObject observer;
    std::vector<std::string> posted;
};

TEST_F(IdleWindow, RunsOutAfterTheIntervalAndTheNextTouchIsActive) {
    window.setTimerValue(300.0);
    timers->advance(299s);
    EXPECT_TRUE(posted.empty());
    timers->advance(1s);
    EXPECT_EQ(posted, std::vector<std::string>{"idle"});
    EXPECT_FALSE(window.hasIdleTimer());

    timers->advance(1000s);
    EXPECT_EQ(posted.size(), 1u) << "one notification per countdown";
    mouse(QEvent::MouseButtonPress);
    EXPECT_EQ(posted, (std::vector<std::string>{"idle", "active"}));
    mouse(QEvent::MouseButtonRelease);
    EXPECT_EQ(posted.size(), 2u) << "only the first touch after idleness is active";
    timers->advance(300s);
    EXPECT_EQ(posted.back(), "idle");
}

TEST_F(IdleWindow, TouchesThatBeginOrEndRestartTheCountdownFingerMovesDoNot) {
    window.setTimerValue(60.0);
    timers->advance(50s);
    mouse(QEvent::MouseButtonPress);
    timers->advance(50s);
    const QPointingDevice finger("finger", 7, QInputDevice::DeviceType::TouchScreen,
                                 QPointingDevice::PointerType::Finger,
                                 QInputDevice::Capability::Position, 10, 0);
    QEventPoint moving(1, QEventPoint::Updated, QPointF(6, 6), QPointF(6, 6));
    QTouchEvent move(QEvent::TouchUpdate, &finger, Qt::NoModifier, {moving});
    QCoreApplication::sendEvent(&window, &move);
    // The mouse move Qt makes of a finger's move.
    QMouseEvent synthesized(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), QPointF(6, 6),
                            Qt::NoButton, Qt::LeftButton, Qt::NoModifier, &finger);
    QCoreApplication::sendEvent(&window, &synthesized);
    timers->advance(9s);
    EXPECT_TRUE(posted.empty());
    timers->advance(1s);
    EXPECT_EQ(posted, std::vector<std::string>{"idle"}) << "a move does not restart it";

    // Touch screens: begin and end count, and within an update a point that is pressed.
    const QPointingDevice* screen = QPointingDevice::primaryPointingDevice();
    QEventPoint touchPoint(1, QEventPoint::Pressed, QPointF(5, 5), QPointF(5, 5));
    QTouchEvent begin(QEvent::TouchBegin, screen, Qt::NoModifier, {touchPoint});
    QCoreApplication::sendEvent(&window, &begin);
    EXPECT_EQ(posted.back(), "active");
    timers->advance(59s);
    QEventPoint second(2, QEventPoint::Pressed, QPointF(8, 8), QPointF(8, 8));
    QTouchEvent update(QEvent::TouchUpdate, screen, Qt::NoModifier, {second});
    QCoreApplication::sendEvent(&window, &update);
    timers->advance(59s);
    EXPECT_EQ(posted.back(), "active");
    QEventPoint lifted(1, QEventPoint::Released, QPointF(5, 5), QPointF(5, 5));
    QTouchEvent end(QEvent::TouchEnd, screen, Qt::NoModifier, {lifted});
    QCoreApplication::sendEvent(&window, &end);
    timers->advance(59s);
    EXPECT_EQ(posted.back(), "active");
    timers->advance(1s);
    EXPECT_EQ(posted.back(), "idle");
}

TEST_F(IdleWindow, KeysTheWheelAndAMovingPointerRestartTheCountdownOnADesktop) {
    window.setTimerValue(60.0);
    // Ten minutes of typing, scrolling and pointing, one every 50 seconds.
    for (int step = 0; step < 12; ++step) {
        timers->advance(50s);
        switch (step % 3) {
        case 0: {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&window, &key);
            break;
        }
        case 1: {
            QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(&window, &wheel);
            break;
        }
        default: {
            QMouseEvent pointer(QEvent::MouseMove, QPointF(20, 20), QPointF(20, 20),
                                Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &pointer);
            break;
        }
        }
    }
    EXPECT_TRUE(posted.empty());
    timers->advance(60s);
    EXPECT_EQ(posted, std::vector<std::string>{"idle"});
}

TEST_F(IdleWindow, NewIntervalRestartsAndZeroSwitchesTheWatchOff) {
    window.setTimerValue(300.0);
    timers->advance(200s);
    window.setTimerValue(120.0);
    timers->advance(119s);
    EXPECT_TRUE(posted.empty());
    timers->advance(1s);
    EXPECT_EQ(posted, std::vector<std::string>{"idle"});

    // Without a countdown every touch that begins or ends counts as activity.
    window.setTimerValue(0.0);
    click();
    timers->advance(100000s);
    EXPECT_EQ(posted, (std::vector<std::string>{"idle", "active", "active"}));
    EXPECT_EQ(timers->activeTimerCount(), 0);
}

TEST_F(IdleWindow, TouchBeforeAnyCountdownIsActiveAndHugeTimesDoNotWrapAround) {
    click();
    EXPECT_EQ(posted, (std::vector<std::string>{"active", "active"}));
    // Months of idle time must not turn into an immediate logout.
    window.setTimerValue(100000.0 * 60.0);
    timers->advance(24h);
    EXPECT_EQ(posted.size(), 2u);
    window.setTimerValue(-60.0);
    timers->advance(0ms);
    EXPECT_EQ(posted.back(), "idle") << "a negative time runs out at once";
}

} // namespace
