// The database details screen as the upload web-server screen sees it. The adapter is a child
// of the details screen, so it goes when the screen goes.
#pragma once

#include "webserver/HttpServerRootView.h"

#include <QObject>

class SettingsDatabaseDetailsViewController;

class HttpServerDetailsRoot final : public QObject, public web::HttpServerRootView {
    Q_OBJECT

public:
    // The adapter of the details screen, created with it on first use.
    static HttpServerDetailsRoot& of(SettingsDatabaseDetailsViewController& details);

    void setKeePassServerDetail(const std::shared_ptr<KeePassServerDetail>& record) override;
    void createDialog() override;
    // Closes what was opened above the details screen; closing the web-server screen ends its
    // server, so the documents are no longer offered on the network once the user has left.
    void showAgain() override;

private:
    explicit HttpServerDetailsRoot(SettingsDatabaseDetailsViewController& details);

    SettingsDatabaseDetailsViewController& m_details;
};
