#include "ui/ToolkitSyncTimer.h"

#include "ui/toolkit/TimerFactory.h"

namespace vaultora::ui {
namespace {

class ToolkitSyncTimer final : public sync::SyncTimer {
public:
    explicit ToolkitSyncTimer(std::unique_ptr<toolkit::OneShotTimer> timer)
        : m_timer(std::move(timer)) {}

    void start(std::chrono::milliseconds delay, std::function<void()> callback) override {
        m_timer->start(delay, std::move(callback));
    }

private:
    std::unique_ptr<toolkit::OneShotTimer> m_timer;
};

} // namespace

sync::SyncTimerFactory syncTimersFrom(const std::shared_ptr<toolkit::TimerFactory>& timers) {
    return [timers]() -> std::unique_ptr<sync::SyncTimer> {
        return std::make_unique<ToolkitSyncTimer>(timers->createTimer());
    };
}

} // namespace vaultora::ui
