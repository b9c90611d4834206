#pragma once

namespace vaultora::app {

// What the delegate needs of the application window, which also watches for idleness.
class IdleWatch {
public:
    virtual ~IdleWatch() = default;

    // Sets the countdown length and restarts the countdown; 0 switches the watch off.
    virtual void setTimerValue(double seconds) = 0;
};

} // namespace vaultora::app
