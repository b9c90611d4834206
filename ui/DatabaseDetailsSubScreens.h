// What the database details form reaches beyond the screens folder: the upload web-server
// screen, the Dropbox file picker, the Dropbox download of a saved record and the unlinking of
// the Dropbox account. The application supplies them; tests put in their own.
#pragma once

#include "base/DatabaseRecord.h"

#include <QString>

#include <memory>

namespace vaultora::toolkit {
class Panel;
}

namespace vaultora::ui {

class DatabaseDetailsScreen;

class DatabaseDetailsSubScreens {
public:
    virtual ~DatabaseDetailsSubScreens() = default;

    // The upload screen for the record, built and ready to push; it changes the record, rebuilds
    // rootView's form and returns to it. Nothing when this build has no such screen.
    [[nodiscard]] virtual std::unique_ptr<toolkit::Panel>
    createUploadScreen(const std::shared_ptr<base::DatabaseRecord>& record,
                       DatabaseDetailsScreen& rootView) = 0;
    // The Dropbox file picker at the directory; a chosen file goes into the record, then rootView
    // rebuilds its form and is shown again. Nothing when this build has no picker.
    [[nodiscard]] virtual std::unique_ptr<toolkit::Panel>
    createDropboxPicker(const QString& directory,
                        const std::shared_ptr<base::DatabaseRecord>& record,
                        DatabaseDetailsScreen& rootView) = 0;
    // Starts downloading the record's Dropbox file (serverUrl) into its local file
    // (databaseName) at once; the download shows its own progress and errors.
    virtual void downloadDropboxFile(const std::shared_ptr<base::DatabaseRecord>& record) = 0;
    virtual void unlinkDropbox() = 0;
};

} // namespace vaultora::ui
