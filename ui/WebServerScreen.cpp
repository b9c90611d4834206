#include "ui/WebServerScreen.h"

#include "ui/WebServerScreenHost.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "webserver/HttpServer.h"
#include "webserver/LocalAddress.h"
#include "webserver/UploadConnection.h"
#include "webserver/WebServerNotifications.h"

namespace vaultora::ui {

WebServerScreen::WebServerScreen(const QString& documentsDirectory,
                                 toolkit::TransientPanelHost* transientPanels, QObject* parent)
    : FormPanel({}, parent), m_transientPanels(transientPanels),
      m_httpServer(new webserver::HttpServer(this)) {
    createDialog();
    m_httpServer->setType(QStringLiteral("_http._tcp."));
    m_httpServer->setConnectionClass<webserver::UploadConnection>();
    m_httpServer->setDocumentRoot(documentsDirectory);
    m_httpServer->setPort(0);
    base::NotificationCenter& center = base::NotificationCenter::defaultCenter();
    center.addObserver(
        QString::fromLatin1(webserver::notifications::localhostAdressesResolved), this,
        [this](const base::Notification& note) { receivedAddressNotification(note); });
    center.addObserver(QString::fromLatin1(webserver::notifications::newFileUploaded), this,
                       [this](const base::Notification& note) { newFileUploadedInfoUpdate(note); });
}

WebServerScreen::~WebServerScreen() {
    base::NotificationCenter::defaultCenter().removeObservers(this);
    m_httpServer->stop();
}

void WebServerScreen::createDialog() {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("HTTP Server"));
    toolkit::FormRow* start =
        form->addSection(QStringLiteral("Press here to start"))
            ->addRow(toolkit::FormRow::button(QStringLiteral("Start HTTP Server")));
    connect(start, &toolkit::FormRow::selected, this, &WebServerScreen::startHttpServer);

    QString status = QStringLiteral("HTTP Server not started");
    if (m_bHTTPServerFileUploaded) {
        status = QStringLiteral("File successfully uploaded");
    } else if (m_bHTTPServerStarted) {
        status = QStringLiteral("HTTP Server started");
    }
    toolkit::FormSection* statusSection = form->addSection(QStringLiteral("HTTP Server status"));
    statusSection->addRow(toolkit::FormRow::label(status));
    // Each file received is named, so the user sees which upload arrived.
    for (const QString& name : m_receivedFileNames) {
        statusSection->addRow(toolkit::FormRow::label(QStringLiteral("Received"), name));
    }
    form->addSection(QStringLiteral("Please type in browser"))
        ->addRow(toolkit::FormRow::label(m_bHTTPServerStarted ? m_httpServerAddress
                                                              : QStringLiteral("- -")));
    toolkit::FormRow* ok =
        form->addSection()->addRow(toolkit::FormRow::button(QStringLiteral("Ok")));
    connect(ok, &toolkit::FormRow::selected, this, &WebServerScreen::confirm);
    setForm(std::move(form));
}

QString WebServerScreen::getIPAddress() {
    return webserver::localIPv4Address();
}

void WebServerScreen::startHttpServer() {
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

void WebServerScreen::receivedAddressNotification(const base::Notification& /*notification*/) {
    m_httpServerAddress = QStringLiteral("%1:%2").arg(getIPAddress()).arg(m_httpServer->port());
    createDialog();
}

void WebServerScreen::newFileUploadedInfoUpdate(const base::Notification& notification) {
    const QString fileName = notification.userInfo.value(QStringLiteral("filename")).toString();
    if (m_databaseRecord) {
        const qsizetype extension = fileName.lastIndexOf(QLatin1Char('.'));
        m_databaseRecord->setServerDisplayName(extension > 0 ? fileName.left(extension) : fileName);
        m_databaseRecord->setServerUrl(fileName);
        m_databaseRecord->setDatabaseName(fileName);
        if (m_rootView != nullptr) {
            m_rootView->setDatabaseRecord(m_databaseRecord);
        }
    }
    m_bHTTPServerFileUploaded = true;
    m_receivedFileNames.append(fileName);
    // A browser that keeps uploading must not grow the form without end: the latest names stay.
    constexpr qsizetype mostNamesShown = 20;
    if (m_receivedFileNames.size() > mostNamesShown) {
        m_receivedFileNames.remove(0, m_receivedFileNames.size() - mostNamesShown);
    }
    createDialog();
}

void WebServerScreen::confirm() {
    if (m_rootView != nullptr) {
        m_rootView->createDialog();
        m_rootView->showAgain();
    }
}

} // namespace vaultora::ui
