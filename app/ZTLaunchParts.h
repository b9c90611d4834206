#pragma once

class ZTAppDelegate;
class ZTIdleWatch;
class ZTPanelStack;

// The objects of the launch whose classes live in folders that build on the application core
// (the window, the screens, the Dropbox session, the crash reports). main() hands an
// implementation to the delegate, which calls these steps in the launch order and keeps the
// implementation, and with it everything it created, for its own lifetime.
class ZTLaunchParts {
public:
    virtual ~ZTLaunchParts() = default;

    // Creates the application window, which also watches for idleness. Returns nullptr
    // when the window of this build has no idle watch.
    virtual ZTIdleWatch* createWindow(ZTAppDelegate& delegate) = 0;
    // Puts the main menu at the root of the stacked navigation and shows the window.
    // Returns nullptr when this build has no stacked navigation.
    virtual ZTPanelStack* createNavigation(ZTAppDelegate& delegate) = 0;
    // Creates the crash-report manager with the crash-collection address.
    virtual void createCrashReportManager(ZTAppDelegate& delegate) = 0;
    // Creates the shared Dropbox session, with the delegate as its delegate.
    virtual void createDropboxSession(ZTAppDelegate& delegate) = 0;
};
