// The screen that opens a new account with the service and then links it, pushed over the
// login screen; it ends the way the login screen does.
#pragma once

#include "sync/DBRestClientDelegate.h"
#include "sync/DBScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>

namespace vaultora::sync {

class DBLoginController;
class DBRestClient;

class DBCreateAccountController final : public toolkit::FormPanel, private DBRestClientDelegate {
    Q_OBJECT

public:
    static inline const QString FirstNameKey = QStringLiteral("first_name");
    static inline const QString LastNameKey = QStringLiteral("last_name");
    static inline const QString EmailKey = QStringLiteral("email");
    static inline const QString PasswordKey = QStringLiteral("password");

    DBCreateAccountController(DBLoginController& loginController, DBScreenServices services,
                              QObject* parent = nullptr);
    ~DBCreateAccountController() override;

    // The "Create" action: checks the fields, creates the account, then logs in with it.
    void create();

    [[nodiscard]] toolkit::FormRow* row(const QString& key) const { return form()->rowForKey(key); }

private:
    void restClientCreatedAccount(DBRestClient& client) override;
    void createAccountFailedWithError(DBRestClient& client, const NetworkError& error) override;
    void restClientDidLogin(DBRestClient& client) override;
    void loginFailedWithError(DBRestClient& client, const NetworkError& error) override;
    [[nodiscard]] bool require(const QString& key, const QString& title, const QString& message);

    QPointer<DBLoginController> m_loginController;
    DBScreenServices m_services;
    DBRestClient* m_restClient;
};

} // namespace vaultora::sync
