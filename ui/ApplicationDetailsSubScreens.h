// The sub-screens of the database details form in this build: the upload web-server screen over
// the documents directory, and the Dropbox picker, download and unlinking through the services'
// Dropbox runner; without a runner the Dropbox rows say that the route is not available and
// change nothing.
#pragma once

#include "ui/DatabaseDetailsSubScreens.h"
#include "ui/ScreenServices.h"

namespace vaultora::ui {

class ApplicationDetailsSubScreens final : public DatabaseDetailsSubScreens {
public:
    explicit ApplicationDetailsSubScreens(const ScreenServices& services) : m_services(services) {}

    [[nodiscard]] std::unique_ptr<toolkit::Panel>
    createUploadScreen(const std::shared_ptr<base::DatabaseRecord>& record,
                       DatabaseDetailsScreen& rootView) override;
    [[nodiscard]] std::unique_ptr<toolkit::Panel>
    createDropboxPicker(const QString& directory,
                        const std::shared_ptr<base::DatabaseRecord>& record,
                        DatabaseDetailsScreen& rootView) override;
    void downloadDropboxFile(const std::shared_ptr<base::DatabaseRecord>& record) override;
    void unlinkDropbox() override;

private:
    void showNotAvailable(const QString& route) const;

    const ScreenServices& m_services;
};

} // namespace vaultora::ui
