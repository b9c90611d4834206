// The application window, which also watches for idleness: every touch that begins or ends
// restarts a one-shot countdown, and so does, on a desktop, a mouse button, a key, the
// wheel or a pointer that moves (a finger that moves does not); when it
// runs out the window posts "RZNIdlingWindowIdleNotification", and the first such touch after
// that posts "RZNIdlingWindowActiveNotification".
#pragma once

#include "app/IdleWatch.h"
#include "ui/toolkit/OneShotTimer.h"
#include "ui/toolkit/TimerFactory.h"

#include <QQuickView>

#include <functional>
#include <memory>

namespace vaultora::ui {

class IdleWatchingWindow final : public QQuickView, public app::IdleWatch {
    Q_OBJECT

public:
    explicit IdleWatchingWindow(std::shared_ptr<toolkit::TimerFactory> timers,
                                QWindow* parent = nullptr);
    ~IdleWatchingWindow() override;

    // Sets the countdown length in seconds and restarts the countdown; 0 switches it off.
    void setTimerValue(double seconds) override;
    [[nodiscard]] double idleTimeInterval() const { return m_idleTimeInterval; }
    // Plain access to the length; the running countdown is left alone.
    void setIdleTimeInterval(double seconds) { m_idleTimeInterval = seconds; }
    // Whether a countdown exists (it may have been cancelled); none after it has run out.
    [[nodiscard]] bool hasIdleTimer() const { return m_hasIdleTimer; }

    void windowIdleNotification();
    void windowActiveNotification();
    // A touch the window gets no event of its own for (a key taken by a shortcut).
    void touchBeganOrEnded();

    // Receives the key presses that no item of the scene took.
    void setUnhandledKeyHandler(std::function<void(int key)> handler) {
        m_unhandledKeyHandler = std::move(handler);
    }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startCountdown();

    std::shared_ptr<toolkit::TimerFactory> m_timers;
    std::unique_ptr<toolkit::OneShotTimer> m_idleTimer;
    bool m_hasIdleTimer = false;
    double m_idleTimeInterval = 0.0;
    std::function<void(int key)> m_unhandledKeyHandler;
};

} // namespace vaultora::ui
