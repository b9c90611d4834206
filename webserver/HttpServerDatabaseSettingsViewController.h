#pragma once

#include "app/KeePassServerDetail.h"
#include "app/NotificationCenter.h"
#include "ui/toolkit/FormPanel.h"

#include <QString>
#include <memory>

namespace toolkit {
class TransientPanelHost;
}

namespace web {

class HTTPServer;
class HttpServerRootView;

// The web-server screen of a database record: starts the upload server over the documents
// directory, shows the address to type into a browser, and writes the name of an uploaded
// file into the record.
class HttpServerDatabaseSettingsViewController final : public toolkit::FormPanel {
    Q_OBJECT

public:
    HttpServerDatabaseSettingsViewController(const QString& documentsDirectory,
                                             toolkit::TransientPanelHost* transientPanels,
                                             QObject* parent = nullptr);
    ~HttpServerDatabaseSettingsViewController() override;

    [[nodiscard]] std::shared_ptr<KeePassServerDetail> keePassServerDetail() const {
        return m_keePassServerDetail;
    }
    void setKeePassServerDetail(std::shared_ptr<KeePassServerDetail> record) {
        m_keePassServerDetail = std::move(record);
    }
    [[nodiscard]] HttpServerRootView* rootView() const { return m_rootView; }
    void setRootView(HttpServerRootView* rootView) { m_rootView = rootView; }
    [[nodiscard]] QString httpServerAddress() const { return m_httpServerAddress; }
    [[nodiscard]] HTTPServer* httpServer() const { return m_httpServer; }

    // Rebuilds the form from the screen's state.
    void createDialog();
    [[nodiscard]] static QString getIPAddress();
    void receivedAddressNotification(const Notification& notification);
    void newFileUploadedInfoUpdate(const Notification& notification);

private:
    void startHttpServer();
    void confirm();

    std::shared_ptr<KeePassServerDetail> m_keePassServerDetail;
    HttpServerRootView* m_rootView = nullptr;
    toolkit::TransientPanelHost* m_transientPanels;
    bool m_bHTTPServerStarted = false;
    bool m_bHTTPServerFileUploaded = false;
    HTTPServer* m_httpServer;
    QString m_httpServerAddress;
};

} // namespace web
