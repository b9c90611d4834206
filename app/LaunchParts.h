#pragma once

namespace vaultora::app {

class ApplicationController;
class IdleWatch;
class PanelStack;

// The objects of the launch whose classes live in folders that build on the application core
// (the window, the screens, the Dropbox session, the crash reports). main() hands an
// implementation to the delegate, which calls these steps in the launch order and keeps the
// implementation, and with it everything it created, for its own lifetime.
class LaunchParts {
public:
    virtual ~LaunchParts() = default;

    // Creates the application window, which also watches for idleness. Returns nullptr
    // when the window of this build has no idle watch.
    virtual IdleWatch* createWindow(ApplicationController& delegate) = 0;
    // Puts the main menu at the root of the stacked navigation and shows the window.
    // Returns nullptr when this build has no stacked navigation.
    virtual PanelStack* createNavigation(ApplicationController& delegate) = 0;
    // Creates the crash-report manager with the crash-collection address.
    virtual void createCrashReportManager(ApplicationController& delegate) = 0;
    // Creates the shared Dropbox session, with the delegate as its delegate.
    virtual void createDropboxSession(ApplicationController& delegate) = 0;
};

} // namespace vaultora::app
