#pragma once

#include "base/DatabaseRecord.h"
#include "base/NotificationCenter.h"
#include "ui/toolkit/FormPanel.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace vaultora::toolkit {
class TransientPanelHost;
} // namespace vaultora::toolkit

namespace vaultora::webserver {
class HttpServer;
} // namespace vaultora::webserver

namespace vaultora::ui {

class WebServerScreenHost;

// The web-server screen of a database record: starts the upload server over the documents
// directory, shows the address to type into a browser, and writes the name of an uploaded
// file into the record.
class WebServerScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    WebServerScreen(const QString& documentsDirectory, toolkit::TransientPanelHost* transientPanels,
                    QObject* parent = nullptr);
    ~WebServerScreen() override;

    [[nodiscard]] std::shared_ptr<base::DatabaseRecord> keePassServerDetail() const {
        return m_databaseRecord;
    }
    void setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record) {
        m_databaseRecord = std::move(record);
    }
    [[nodiscard]] WebServerScreenHost* rootView() const { return m_rootView; }
    void setRootView(WebServerScreenHost* rootView) { m_rootView = rootView; }
    [[nodiscard]] QString httpServerAddress() const { return m_httpServerAddress; }
    [[nodiscard]] webserver::HttpServer* httpServer() const { return m_httpServer; }
    // The names of the files received while the screen exists, in the order they came.
    [[nodiscard]] const QStringList& receivedFileNames() const { return m_receivedFileNames; }

    // Rebuilds the form from the screen's state.
    void createDialog();
    [[nodiscard]] static QString getIPAddress();
    void receivedAddressNotification(const base::Notification& notification);
    void newFileUploadedInfoUpdate(const base::Notification& notification);

private:
    void startHttpServer();
    void confirm();

    std::shared_ptr<base::DatabaseRecord> m_databaseRecord;
    WebServerScreenHost* m_rootView = nullptr;
    toolkit::TransientPanelHost* m_transientPanels;
    bool m_bHTTPServerStarted = false;
    bool m_bHTTPServerFileUploaded = false;
    webserver::HttpServer* m_httpServer;
    QString m_httpServerAddress;
    QStringList m_receivedFileNames;
};

} // namespace vaultora::ui
