// The toolkit objects and the session the Dropbox screens work with.
// None is owned; the launch (or a test) keeps them alive.
#pragma once

#include "ui/toolkit/TimerFactory.h"

#include <memory>

namespace vaultora::toolkit {
class AlertPresenter;
class ModalPresenter;
class ProgressOverlay;
class TransientPanelHost;
} // namespace vaultora::toolkit

namespace vaultora::sync {
class DropboxSession;
} // namespace vaultora::sync

namespace vaultora::ui {

struct DropboxScreenServices {
    sync::DropboxSession* session = nullptr;
    toolkit::ModalPresenter* modalPresenter = nullptr;
    toolkit::AlertPresenter* alerts = nullptr;
    toolkit::ProgressOverlay* progressOverlay = nullptr;
    toolkit::TransientPanelHost* transientPanels = nullptr;
    std::shared_ptr<toolkit::TimerFactory> timers;
};

} // namespace vaultora::ui
