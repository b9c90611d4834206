#include "ui/DropboxLoginScreenPresenter.h"

#include "ui/DropboxLoginScreen.h"
#include "ui/DropboxLoginScreenDelegate.h"
#include "ui/SyncProgressPanels.h"
#include "ui/ToolkitSyncTimer.h"

namespace vaultora::ui {
namespace {

// Passes the end of one login screen on to a synchroniser. A child of the screen: the screen
// is deleted only after it has told its delegate, so the relay is still there to pass it on.
class DropboxLoginRelay final : public QObject, public DropboxLoginScreenDelegate {
    Q_OBJECT

public:
    DropboxLoginRelay(DropboxLoginScreen& screen, sync::DropboxLoginListener& listener)
        : QObject(&screen), m_listener(&listener) {}

    void forget(const sync::DropboxLoginListener& listener) {
        if (m_listener == &listener)
            m_listener = nullptr;
    }

    void loginControllerDidLogin(DropboxLoginScreen&) override {
        if (m_listener != nullptr)
            m_listener->dropboxLoginDidLink();
    }
    void loginControllerDidCancel(DropboxLoginScreen&) override {
        if (m_listener != nullptr)
            m_listener->dropboxLoginDidCancel();
    }

private:
    sync::DropboxLoginListener* m_listener;
};

} // namespace

DropboxLoginScreenPresenter::DropboxLoginScreenPresenter(DropboxScreenServices services)
    : m_services(std::move(services)) {}

QObject* DropboxLoginScreenPresenter::presentLogin(sync::DropboxLoginListener& listener) {
    DropboxLoginScreen* login = DropboxLoginScreen::presentFromController(m_services, nullptr);
    login->setDelegate(new DropboxLoginRelay(*login, listener));
    return login;
}

void DropboxLoginScreenPresenter::forgetListener(QObject& login,
                                                 sync::DropboxLoginListener& listener) {
    for (DropboxLoginRelay* relay :
         login.findChildren<DropboxLoginRelay*>(Qt::FindDirectChildrenOnly))
        relay->forget(listener);
}

sync::DropboxSyncServices DropboxLoginScreenPresenter::syncServices() {
    sync::DropboxSyncServices services;
    services.session = m_services.session;
    services.logins = this;
    services.progressViews = [panels = m_services.transientPanels,
                              overlay = m_services.progressOverlay] {
        return std::make_unique<SyncProgressPanels>(*panels, overlay);
    };
    services.timers = syncTimersFrom(m_services.timers);
    return services;
}

} // namespace vaultora::ui

#include "DropboxLoginScreenPresenter.moc"
