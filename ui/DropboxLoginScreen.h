// The screen that links an account: e-mail and password, "Link" asks the service for an access
// token and keeps it in the session. Presented modally in a navigation container of its own,
// so the account-creation screen can be pushed over it.
#pragma once

#include "sync/dropbox/DropboxClientDelegate.h"
#include "ui/DropboxScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>

namespace vaultora::sync {
class DropboxClient;
} // namespace vaultora::sync

namespace vaultora::ui {

class DropboxLoginScreenDelegate;

class DropboxLoginScreen final : public toolkit::FormPanel, private sync::DropboxClientDelegate {
    Q_OBJECT

public:
    static inline const QString EmailKey = QStringLiteral("email");
    static inline const QString PasswordKey = QStringLiteral("password");

    explicit DropboxLoginScreen(DropboxScreenServices services, QObject* parent = nullptr);
    ~DropboxLoginScreen() override;

    // Puts a new login screen in a navigation container and presents it full screen over the
    // window. The modal presenter owns it; the returned pointer is valid until it closes.
    static DropboxLoginScreen* presentFromController(const DropboxScreenServices& services,
                                                     DropboxLoginScreenDelegate* delegate);

    // Not owned; a delegate that goes away first clears itself.
    void setDelegate(DropboxLoginScreenDelegate* delegate) { m_delegate = delegate; }
    [[nodiscard]] DropboxLoginScreenDelegate* delegate() const { return m_delegate; }

    // The "Link" action: checks the fields, then sends the login request.
    void link();
    // The "Cancel" action.
    void cancel();
    // Opens the account-creation screen over this one.
    void openCreateAccount();
    // Closes the screen and tells the delegate that the account is linked.
    void finishWithLogin();
    // "Unable to Login" with the text that fits the error.
    void showLoginFailure(const net::NetworkError& error);

    [[nodiscard]] toolkit::FormRow* emailRow() const;
    [[nodiscard]] toolkit::FormRow* passwordRow() const;
    [[nodiscard]] sync::DropboxClient& restClient() const { return *m_restClient; }

    // The message of a failed request: the network's own when the service was not reached,
    // else the service's "error" entry (a text, or the first value of a map), else `fallback`.
    [[nodiscard]] static QString messageForError(const net::NetworkError& error,
                                                 const QString& fallback);

private:
    void restClientDidLogin(sync::DropboxClient& client) override;
    void loginFailedWithError(sync::DropboxClient& client, const net::NetworkError& error) override;
    void dismiss();

    DropboxScreenServices m_services;
    sync::DropboxClient* m_restClient;
    DropboxLoginScreenDelegate* m_delegate = nullptr;
};

} // namespace vaultora::ui
