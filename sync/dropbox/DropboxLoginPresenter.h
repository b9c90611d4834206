// How a Dropbox synchroniser asks for an account to be linked: the screens present their login
// screen and say how it ended.
#pragma once

class QObject;

namespace vaultora::sync {

class DropboxLoginListener {
public:
    virtual ~DropboxLoginListener() = default;
    virtual void dropboxLoginDidLink() = 0;
    virtual void dropboxLoginDidCancel() = 0;
};

class DropboxLoginPresenter {
public:
    virtual ~DropboxLoginPresenter() = default;
    // Presents a login screen that tells the listener how it ended. The returned object is
    // the screen; it is destroyed some time after the screen has closed.
    [[nodiscard]] virtual QObject* presentLogin(DropboxLoginListener& listener) = 0;
    // The login screen stops telling the listener, which is going away.
    virtual void forgetListener(QObject& login, DropboxLoginListener& listener) = 0;
};

} // namespace vaultora::sync
