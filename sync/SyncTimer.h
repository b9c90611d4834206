// A one-shot timer a synchroniser waits with. The screens hand out theirs, so tests can drive
// the time; destroying the timer cancels the call.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vaultora::sync {

class SyncTimer {
public:
    virtual ~SyncTimer() = default;
    // Starting a running timer restarts it with the new delay and callback.
    virtual void start(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
};

using SyncTimerFactory = std::function<std::unique_ptr<SyncTimer>()>;

} // namespace vaultora::sync
