// The screen that links an account: e-mail and password, "Link" asks the service for an access
// token and keeps it in the session. Presented modally in a navigation container of its own,
// so the account-creation screen can be pushed over it.
#pragma once

#include "sync/DBRestClientDelegate.h"
#include "sync/DBScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>

namespace vaultora::sync {

class DBLoginControllerDelegate;
class DBRestClient;

class DBLoginController final : public toolkit::FormPanel, private DBRestClientDelegate {
    Q_OBJECT

public:
    static inline const QString EmailKey = QStringLiteral("email");
    static inline const QString PasswordKey = QStringLiteral("password");

    explicit DBLoginController(DBScreenServices services, QObject* parent = nullptr);
    ~DBLoginController() override;

    // Puts a new login screen in a navigation container and presents it full screen over the
    // window. The modal presenter owns it; the returned pointer is valid until it closes.
    static DBLoginController* presentFromController(const DBScreenServices& services,
                                                    DBLoginControllerDelegate* delegate);

    // Not owned; a delegate that goes away first clears itself.
    void setDelegate(DBLoginControllerDelegate* delegate) { m_delegate = delegate; }
    [[nodiscard]] DBLoginControllerDelegate* delegate() const { return m_delegate; }

    // The "Link" action: checks the fields, then sends the login request.
    void link();
    // The "Cancel" action.
    void cancel();
    // Opens the account-creation screen over this one.
    void openCreateAccount();
    // Closes the screen and tells the delegate that the account is linked.
    void finishWithLogin();
    // "Unable to Login" with the text that fits the error.
    void showLoginFailure(const NetworkError& error);

    [[nodiscard]] toolkit::FormRow* emailRow() const;
    [[nodiscard]] toolkit::FormRow* passwordRow() const;
    [[nodiscard]] DBRestClient& restClient() const { return *m_restClient; }

    // The message of a failed request: the network's own when the service was not reached,
    // else the service's "error" entry (a text, or the first value of a map), else `fallback`.
    [[nodiscard]] static QString messageForError(const NetworkError& error,
                                                 const QString& fallback);

private:
    void restClientDidLogin(DBRestClient& client) override;
    void loginFailedWithError(DBRestClient& client, const NetworkError& error) override;
    void dismiss();

    DBScreenServices m_services;
    DBRestClient* m_restClient;
    DBLoginControllerDelegate* m_delegate = nullptr;
};

} // namespace vaultora::sync
