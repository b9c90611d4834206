#include "ui/IdleWatchingWindow.h"

#include "base/NotificationCenter.h"
#include "base/Notifications.h"

#include <QEventPoint>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QQuickItem>
#include <QTouchEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace vaultora::ui {

IdleWatchingWindow::IdleWatchingWindow(std::shared_ptr<toolkit::TimerFactory> timers,
                                       QWindow* parent)
    : QQuickView(parent), m_timers(std::move(timers)), m_idleTimer(m_timers->createTimer()) {}

IdleWatchingWindow::~IdleWatchingWindow() = default;

bool IdleWatchingWindow::event(QEvent* event) {
    const bool handled = QQuickView::event(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchEnd:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        touchBeganOrEnded();
        break;
    case QEvent::MouseMove: {
        // A desktop pointer that moves is someone at the machine; a finger's move, which
        // arrives as a mouse move too, is not.
        const QPointingDevice* device = static_cast<const QMouseEvent*>(event)->pointingDevice();
        if (device == nullptr || device->type() != QInputDevice::DeviceType::TouchScreen) {
            touchBeganOrEnded();
        }
        break;
    }
    case QEvent::TouchUpdate: {
        // Any one touch of the event decides: the first.
        const auto* touch = static_cast<const QTouchEvent*>(event);
        if (!touch->points().isEmpty()) {
            const QEventPoint::State state = touch->points().constFirst().state();
            if (state == QEventPoint::Pressed || state == QEventPoint::Released) {
                touchBeganOrEnded();
            }
        }
        break;
    }
    default:
        break;
    }
    return handled;
}

void IdleWatchingWindow::keyPressEvent(QKeyEvent* event) {
    QQuickView::keyPressEvent(event);
    // Without an item holding the focus the event keeps the accepted mark it was created with,
    // so the focus item is asked about too.
    const QQuickItem* focused = activeFocusItem();
    const bool taken = event->isAccepted() && focused != nullptr && focused != contentItem();
    if (!taken && m_unhandledKeyHandler) {
        m_unhandledKeyHandler(event->key());
    }
}

void IdleWatchingWindow::touchBeganOrEnded() {
    if (m_hasIdleTimer) {
        m_idleTimer->stop();
    } else {
        windowActiveNotification();
    }
    if (m_idleTimeInterval != 0.0) {
        startCountdown();
    }
}

void IdleWatchingWindow::setTimerValue(double seconds) {
    m_idleTimeInterval = seconds;
    m_idleTimer->stop();
    if (seconds != 0.0) {
        startCountdown();
    }
}

void IdleWatchingWindow::startCountdown() {
    // A negative length (only possible through a hand-edited registry) runs out at once. The
    // event loop's timers count milliseconds in an int, so very long times are capped rather
    // than wrapped around into an immediate logout.
    constexpr double longestMilliseconds = std::numeric_limits<int>::max();
    const double milliseconds = std::clamp(m_idleTimeInterval * 1000.0, 0.0, longestMilliseconds);
    const auto delay = std::chrono::milliseconds(std::llround(milliseconds));
    m_idleTimer->start(delay, [this] { windowIdleNotification(); });
    m_hasIdleTimer = true;
}

void IdleWatchingWindow::windowIdleNotification() {
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(base::Notifications::windowIdle), this);
    m_hasIdleTimer = false;
}

void IdleWatchingWindow::windowActiveNotification() {
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(base::Notifications::windowActive), this);
}

} // namespace vaultora::ui
