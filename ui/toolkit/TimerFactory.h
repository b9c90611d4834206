// Creates the one-shot timers of the toolkit and the screens, so tests can drive time themselves.
#pragma once

#include "ui/toolkit/OneShotTimer.h"

#include <memory>

namespace vaultora::toolkit {

class TimerFactory {
public:
    virtual ~TimerFactory() = default;

    [[nodiscard]] virtual std::unique_ptr<OneShotTimer> createTimer() = 0;
};

} // namespace vaultora::toolkit
