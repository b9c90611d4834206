// The screen that opens a new account with the service and then links it, pushed over the
// login screen; it ends the way the login screen does.
#pragma once

#include "sync/dropbox/DropboxClientDelegate.h"
#include "ui/DropboxScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>

namespace vaultora::sync {
class DropboxClient;
} // namespace vaultora::sync

namespace vaultora::ui {

class DropboxLoginScreen;

class DropboxCreateAccountScreen final : public toolkit::FormPanel,
                                         private sync::DropboxClientDelegate {
    Q_OBJECT

public:
    static inline const QString FirstNameKey = QStringLiteral("first_name");
    static inline const QString LastNameKey = QStringLiteral("last_name");
    static inline const QString EmailKey = QStringLiteral("email");
    static inline const QString PasswordKey = QStringLiteral("password");

    DropboxCreateAccountScreen(DropboxLoginScreen& loginController, DropboxScreenServices services,
                               QObject* parent = nullptr);
    ~DropboxCreateAccountScreen() override;

    // The "Create" action: checks the fields, creates the account, then logs in with it.
    void create();

    [[nodiscard]] toolkit::FormRow* row(const QString& key) const { return form()->rowForKey(key); }

private:
    void restClientCreatedAccount(sync::DropboxClient& client) override;
    void createAccountFailedWithError(sync::DropboxClient& client,
                                      const net::NetworkError& error) override;
    void restClientDidLogin(sync::DropboxClient& client) override;
    void loginFailedWithError(sync::DropboxClient& client, const net::NetworkError& error) override;
    [[nodiscard]] bool require(const QString& key, const QString& title, const QString& message);

    QPointer<DropboxLoginScreen> m_loginController;
    DropboxScreenServices m_services;
    sync::DropboxClient* m_restClient;
};

} // namespace vaultora::ui
