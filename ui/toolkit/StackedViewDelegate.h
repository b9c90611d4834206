// Told by the stacked navigation when it has switched between full-screen and normal mode.
#pragma once

namespace vaultora::toolkit {

class StackController;

class StackedViewDelegate {
public:
    virtual ~StackedViewDelegate() = default;

    // Called once per panel on the stack after each switch; `didZoomInOut` is true after a
    // switch to full-screen mode.
    virtual void stackedView(StackController& stackedView, bool didZoomInOut) = 0;
};

} // namespace vaultora::toolkit
