// The Dropbox synchronisers' login requests answered with the login screen, and the services a
// synchroniser needs made from the screens' own. The launch keeps one for all syncs and
// pickers.
#pragma once

#include "sync/dropbox/DropboxLoginPresenter.h"
#include "sync/dropbox/DropboxSyncServices.h"
#include "ui/DropboxScreenServices.h"

namespace vaultora::ui {

class DropboxLoginScreenPresenter final : public sync::DropboxLoginPresenter {
public:
    explicit DropboxLoginScreenPresenter(DropboxScreenServices services);

    [[nodiscard]] QObject* presentLogin(sync::DropboxLoginListener& listener) override;
    void forgetListener(QObject& login, sync::DropboxLoginListener& listener) override;

    [[nodiscard]] const DropboxScreenServices& services() const { return m_services; }
    // Logins through this presenter, progress in the transient panels and the progress
    // overlay, and the screens' timers.
    [[nodiscard]] sync::DropboxSyncServices syncServices();

private:
    DropboxScreenServices m_services;
};

} // namespace vaultora::ui
