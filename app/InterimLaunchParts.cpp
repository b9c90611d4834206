#include "app/InterimLaunchParts.h"

#include "app/DatabaseNameListModel.h"
#include "app/ZTAppDelegate.h"

#include <QDebug>

InterimLaunchParts::InterimLaunchParts() = default;

InterimLaunchParts::~InterimLaunchParts() {
    // The window goes before the model it shows.
    m_engine.reset();
}

ZTIdleWatch* InterimLaunchParts::createWindow(ZTAppDelegate& delegate) {
    m_databaseNames = std::make_unique<DatabaseNameListModel>(delegate.serverArray());
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->setInitialProperties(
        {{QStringLiteral("databaseNames"), QVariant::fromValue(m_databaseNames.get())}});
    m_engine->load(QUrl(QStringLiteral("qrc:/qml/Main.qml")));
    if (m_engine->rootObjects().isEmpty()) {
        qWarning().noquote() << "The window could not be created";
    }
    // Attachment point: the window with the idle watch replaces this one.
    return nullptr;
}

ZTPanelStack* InterimLaunchParts::createNavigation(ZTAppDelegate& delegate) {
    Q_UNUSED(delegate);
    // Attachment point: the main menu at the root of the stacked navigation. The window
    // shows itself (it is created visible).
    return nullptr;
}

void InterimLaunchParts::createCrashReportManager(ZTAppDelegate& delegate) {
    Q_UNUSED(delegate);
    // Attachment point: the crash-report manager, with the crash-collection address.
}

void InterimLaunchParts::createDropboxSession(ZTAppDelegate& delegate) {
    Q_UNUSED(delegate);
    // Attachment point: the shared Dropbox session, with the delegate as its delegate.
}

QObject* InterimLaunchParts::window() const {
    if (!m_engine || m_engine->rootObjects().isEmpty()) {
        return nullptr;
    }
    return m_engine->rootObjects().constFirst();
}
