// The toolkit objects and system services every screen works with. The launch creates them
// once; tests put together their own set.
#pragma once

#include "ui/toolkit/TimerFactory.h"

#include <memory>

namespace vaultora::app {
class ApplicationController;
} // namespace vaultora::app

namespace vaultora::sync {
class DropboxSyncRunner;
} // namespace vaultora::sync

namespace vaultora::toolkit {
class AlertPresenter;
class ModalPresenter;
class ProgressOverlay;
class StackController;
class TransientPanelHost;
class UrlOpener;
} // namespace vaultora::toolkit

namespace vaultora::ui {

class DatabaseSources;
class DropboxLoginScreenPresenter;
class SecretClipboard;

struct ScreenServices {
    // Settings, registry and the documents directory.
    app::ApplicationController* delegate = nullptr;
    toolkit::StackController* stack = nullptr;
    toolkit::ModalPresenter* modalPresenter = nullptr;
    // Questions that must be answered before something cannot be undone.
    toolkit::AlertPresenter* alerts = nullptr;
    toolkit::TransientPanelHost* transientPanels = nullptr;
    toolkit::ProgressOverlay* progressOverlay = nullptr;
    toolkit::UrlOpener* urlOpener = nullptr;
    // Where database files come from: downloads, Dropbox and the network's reachability.
    DatabaseSources* sources = nullptr;
    // Dropbox syncs and the picker; none before the Dropbox session exists.
    vaultora::sync::DropboxSyncRunner* dropbox = nullptr;
    // The Dropbox screens' services and logins; there whenever dropbox is.
    DropboxLoginScreenPresenter* dropboxLogins = nullptr;
    std::shared_ptr<toolkit::TimerFactory> timers;
    // Copies for the entry screen; it takes copied passwords off the clipboard again.
    SecretClipboard* clipboard = nullptr;
};

} // namespace vaultora::ui
