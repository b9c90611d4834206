// Timers of the Qt event loop: the factory the application uses.
#pragma once

#include "ui/toolkit/TimerFactory.h"

namespace vaultora::toolkit {

class QtTimerFactory final : public TimerFactory {
public:
    [[nodiscard]] std::unique_ptr<OneShotTimer> createTimer() override;
};

} // namespace vaultora::toolkit
