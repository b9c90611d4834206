// The toolkit objects and the session the Dropbox screens and the synchroniser work with.
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

struct DropboxScreenServices {
    DropboxSession* session = nullptr;
    toolkit::ModalPresenter* modalPresenter = nullptr;
    toolkit::AlertPresenter* alerts = nullptr;
    toolkit::ProgressOverlay* progressOverlay = nullptr;
    toolkit::TransientPanelHost* transientPanels = nullptr;
    std::shared_ptr<toolkit::TimerFactory> timers;
};

} // namespace vaultora::sync
