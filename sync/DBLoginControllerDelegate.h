// How the account-link screen ends: linked, or closed by the user.
#pragma once

namespace vaultora::sync {

class DBLoginController;

class DBLoginControllerDelegate {
public:
    virtual ~DBLoginControllerDelegate() = default;
    virtual void loginControllerDidLogin(DBLoginController& controller) = 0;
    virtual void loginControllerDidCancel(DBLoginController& controller) = 0;
};

} // namespace vaultora::sync
