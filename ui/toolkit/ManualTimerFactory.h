// Timers that fire only when a test advances the factory's clock, in deadline order.
#pragma once

#include "ui/toolkit/TimerFactory.h"

#include <chrono>
#include <memory>

namespace vaultora::toolkit {

class ManualTimerFactory final : public TimerFactory {
public:
    ManualTimerFactory();
    ~ManualTimerFactory() override;
    ManualTimerFactory(const ManualTimerFactory&) = delete;
    ManualTimerFactory& operator=(const ManualTimerFactory&) = delete;

    [[nodiscard]] std::unique_ptr<OneShotTimer> createTimer() override;

    // Moves the clock forward, firing every timer whose deadline is reached on the way, also
    // timers that the callbacks start.
    void advance(std::chrono::milliseconds duration);
    [[nodiscard]] std::chrono::milliseconds now() const;
    [[nodiscard]] int activeTimerCount() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace vaultora::toolkit
