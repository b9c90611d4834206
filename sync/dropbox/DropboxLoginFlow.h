// The part of the database panel's open flow that a Dropbox sync continues once it is done.
#pragma once

namespace vaultora::sync {

class DropboxLoginFlow {
public:
    virtual ~DropboxLoginFlow() = default;
    // Goes on with the local file: saved password or the password form.
    virtual bool loginOrShowPasswordDialog() = 0;
    // Starts the whole open flow again, sync included.
    virtual bool syncDatabaseFileAndOpen() = 0;
};

} // namespace vaultora::sync
