// How the account-link screen ends: linked, or closed by the user.
#pragma once

namespace vaultora::ui {

class DropboxLoginScreen;

class DropboxLoginScreenDelegate {
public:
    virtual ~DropboxLoginScreenDelegate() = default;
    virtual void loginControllerDidLogin(DropboxLoginScreen& controller) = 0;
    virtual void loginControllerDidCancel(DropboxLoginScreen& controller) = 0;
};

} // namespace vaultora::ui
