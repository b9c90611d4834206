// The synchronisers' timers made from the toolkit's, so the launch's clock (or a test's) drives
// them too.
#pragma once

#include "sync/SyncTimer.h"

#include <memory>

namespace vaultora::toolkit {
class TimerFactory;
} // namespace vaultora::toolkit

namespace vaultora::ui {

[[nodiscard]] sync::SyncTimerFactory
syncTimersFrom(const std::shared_ptr<toolkit::TimerFactory>& timers);

} // namespace vaultora::ui
