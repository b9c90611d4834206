// What a Dropbox synchroniser works with besides the service: the session, the login screens,
// a progress view per synchronisation and timers. Nothing is owned; the launch (or a test)
// keeps them alive.
#pragma once

#include "sync/SyncProgressView.h"
#include "sync/SyncTimer.h"

#include <functional>
#include <memory>

namespace vaultora::sync {

class DropboxLoginPresenter;
class DropboxSession;

struct DropboxSyncServices {
    DropboxSession* session = nullptr;
    DropboxLoginPresenter* logins = nullptr;
    std::function<std::unique_ptr<SyncProgressView>()> progressViews;
    SyncTimerFactory timers;
};

} // namespace vaultora::sync
