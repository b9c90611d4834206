#pragma once

// What the delegate needs of the application window, which also watches for idleness.
class ZTIdleWatch {
public:
    virtual ~ZTIdleWatch() = default;

    // Sets the countdown length and restarts the countdown; 0 switches the watch off.
    virtual void setTimerValue(double seconds) = 0;
};
