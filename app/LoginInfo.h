#pragma once

#include "kdb/SecureBytes.h"

#include <QString>

namespace vaultora::app {

// The values of the login form, copied in by field key. The form only has a password field,
// so login usually stays null.
class LoginInfo final {
public:
    [[nodiscard]] const QString& login() const { return m_login; }
    void setLogin(QString value) { m_login = std::move(value); }

    // UTF-8, wiped when released.
    [[nodiscard]] const kdb::SecureBytes& password() const { return m_password; }
    void setPassword(kdb::SecureBytes value) { m_password = std::move(value); }

private:
    QString m_login;
    kdb::SecureBytes m_password;
};

} // namespace vaultora::app
