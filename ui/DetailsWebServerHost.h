// The database details screen as the upload web-server screen sees it. The adapter is a child
// of the details screen, so it goes when the screen goes.
#pragma once

#include "ui/WebServerScreenHost.h"

#include <QObject>

namespace vaultora::ui {

class DatabaseDetailsScreen;

class DetailsWebServerHost final : public QObject, public ui::WebServerScreenHost {
    Q_OBJECT

public:
    // The adapter of the details screen, created with it on first use.
    static DetailsWebServerHost& of(DatabaseDetailsScreen& details);

    void setDatabaseRecord(const std::shared_ptr<base::DatabaseRecord>& record) override;
    void createDialog() override;
    // Closes what was opened above the details screen; closing the web-server screen ends its
    // server, so the documents are no longer offered on the network once the user has left.
    void showAgain() override;

private:
    explicit DetailsWebServerHost(DatabaseDetailsScreen& details);

    DatabaseDetailsScreen& m_details;
};

} // namespace vaultora::ui
