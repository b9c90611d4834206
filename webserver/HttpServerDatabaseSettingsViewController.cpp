#include "webserver/HttpServerDatabaseSettingsViewController.h"

#include "ui/toolkit/TransientPanelHost.h"
#include "webserver/HTTPServer.h"
#include "webserver/HttpServerRootView.h"
#include "webserver/LocalAddress.h"
#include "webserver/MyHTTPConnection.h"
#include "webserver/WebServerNotifications.h"

namespace web {

HttpServerDatabaseSettingsViewController::HttpServerDatabaseSettingsViewController(
    const QString& documentsDirectory, toolkit::TransientPanelHost* transientPanels,
    QObject* parent)
    : FormPanel({}, parent), m_transientPanels(transientPanels),
      m_httpServer(new HTTPServer(this)) {
    createDialog();
    m_httpServer->setType(QStringLiteral("_http._tcp."));
    m_httpServer->setConnectionClass<MyHTTPConnection>();
    m_httpServer->setDocumentRoot(documentsDirectory);
    m_httpServer->setPort(0);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(notifications::localhostAdressesResolved), this,
                       [this](const Notification& note) { receivedAddressNotification(note); });
    center.addObserver(QString::fromLatin1(notifications::newFileUploaded), this,
                       [this](const Notification& note) { newFileUploadedInfoUpdate(note); });
}

HttpServerDatabaseSettingsViewController::~HttpServerDatabaseSettingsViewController() {
    NotificationCenter::defaultCenter().removeObservers(this);
    m_httpServer->stop();
}

void HttpServerDatabaseSettingsViewController::createDialog() {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("HTTP Server"));
    toolkit::FormRow* start =
        form->addSection(QStringLiteral("Press here to start"))
            ->addRow(toolkit::FormRow::button(QStringLiteral("Start HTTP Server")));
    connect(start, &toolkit::FormRow::selected, this,
            &HttpServerDatabaseSettingsViewController::startHttpServer);

    QString status = QStringLiteral("HTTP Server not started");
    if (m_bHTTPServerFileUploaded) {
        status = QStringLiteral("File successfully uploaded");
    } else if (m_bHTTPServerStarted) {
        status = QStringLiteral("HTTP Server started");
    }
    form->addSection(QStringLiteral("HTTP Server status"))->addRow(toolkit::FormRow::label(status));
    form->addSection(QStringLiteral("Please type in browser"))
        ->addRow(toolkit::FormRow::label(m_bHTTPServerStarted ? m_httpServerAddress
                                                              : QStringLiteral("- -")));
    toolkit::FormRow* ok =
        form->addSection()->addRow(toolkit::FormRow::button(QStringLiteral("Ok")));
    connect(ok, &toolkit::FormRow::selected, this,
            &HttpServerDatabaseSettingsViewController::confirm);
    setForm(std::move(form));
}

QString HttpServerDatabaseSettingsViewController::getIPAddress() {
    return localIPv4Address();
}

void HttpServerDatabaseSettingsViewController::startHttpServer() {
    if (m_bHTTPServerStarted) {
        return;
    }
    QString error;
    if (m_httpServer->start(&error)) {
        m_bHTTPServerStarted = true;
    } else if (m_transientPanels != nullptr) {
        m_transientPanels->showError(QStringLiteral("Error starting HTTP Server"), error, 2.5);
    }
    createDialog();
}

void HttpServerDatabaseSettingsViewController::receivedAddressNotification(
    const Notification& /*notification*/) {
    m_httpServerAddress = QStringLiteral("%1:%2").arg(getIPAddress()).arg(m_httpServer->port());
    createDialog();
}

void HttpServerDatabaseSettingsViewController::newFileUploadedInfoUpdate(
    const Notification& notification) {
    const QString fileName = notification.userInfo.value(QStringLiteral("filename")).toString();
    if (m_keePassServerDetail) {
        const qsizetype extension = fileName.lastIndexOf(QLatin1Char('.'));
        m_keePassServerDetail->setServerDisplayName(extension > 0 ? fileName.left(extension)
                                                                  : fileName);
        m_keePassServerDetail->setServerUrl(fileName);
        m_keePassServerDetail->setDatabaseName(fileName);
        if (m_rootView != nullptr) {
            m_rootView->setKeePassServerDetail(m_keePassServerDetail);
        }
    }
    m_bHTTPServerFileUploaded = true;
    createDialog();
}

void HttpServerDatabaseSettingsViewController::confirm() {
    if (m_rootView != nullptr) {
        m_rootView->createDialog();
        m_rootView->showAgain();
    }
}

} // namespace web
