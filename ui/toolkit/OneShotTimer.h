// A timer that runs a callback once, on the main loop, when its delay has passed.
#pragma once

#include <chrono>
#include <functional>

namespace vaultora::toolkit {

class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;

    // Starting a running timer restarts it with the new delay and callback.
    virtual void start(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isActive() const = 0;
};

} // namespace vaultora::toolkit
