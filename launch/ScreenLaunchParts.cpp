#include "launch/ScreenLaunchParts.h"

#include "app/ApplicationController.h"
#include "crash/CrashReporting.h"
#include "sync/dropbox/DropboxSession.h"
#include "sync/dropbox/DropboxSyncRunner.h"
#include "ui/ApplicationDatabaseSources.h"
#include "ui/ArtworkImageProvider.h"
#include "ui/CrashReportAlertQuestion.h"
#include "ui/DropboxLoginScreenPresenter.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/KeyboardShortcuts.h"
#include "ui/MainMenu.h"
#include "ui/NavigationPanelStack.h"
#include "ui/SecretClipboard.h"
#include "ui/SettingsMenuScreens.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/QtTimerFactory.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/ToolkitQml.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "ui/toolkit/UrlOpener.h"

#include <QDebug>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QScreen>

namespace vaultora::launch {

ScreenLaunchParts::ScreenLaunchParts()
    : m_urlOpener(std::make_unique<toolkit::SystemUrlOpener>()),
      m_sceneObjects(std::make_unique<QObject>()) {
    m_services.timers = std::make_shared<toolkit::QtTimerFactory>();
    m_services.urlOpener = m_urlOpener.get();
    m_clipboard = std::make_unique<ui::SecretClipboard>(m_services.timers);
    m_services.clipboard = m_clipboard.get();
}

ScreenLaunchParts::~ScreenLaunchParts() {
    // The window's bindings go before the objects they show.
    m_window.reset();
}

app::IdleWatch* ScreenLaunchParts::createWindow(app::ApplicationController& delegate) {
    m_services.delegate = &delegate;
    m_window = std::make_unique<ui::IdleWatchingWindow>(m_services.timers);
    m_window->setTitle(QStringLiteral("Vaultora"));
    m_window->setColor(Qt::black);
    m_window->setResizeMode(QQuickView::SizeRootObjectToView);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen != nullptr ? screen->availableSize() : QSize(1024, 768);
    m_window->resize(std::min(1024, available.width()), std::min(768, available.height()));
    toolkit::registerToolkitQml(*m_window->engine());
    m_window->engine()->addImageProvider(QStringLiteral("vaultora"), new ui::ArtworkImageProvider);
    // A minimised window counts as the application going to the background.
    QObject::connect(m_window.get(), &QWindow::windowStateChanged, m_sceneObjects.get(),
                     [this, &delegate](Qt::WindowState state) {
                         if (state == Qt::WindowMinimized) {
                             delegate.applicationDidEnterBackground();
                             m_clipboard->clearSecret();
                         }
                     });
    return m_window.get();
}

app::PanelStack* ScreenLaunchParts::createNavigation(app::ApplicationController& delegate) {
    m_services.delegate = &delegate;
    QObject* owner = m_sceneObjects.get();
    m_services.modalPresenter = new toolkit::ModalPresenter(owner);
    m_services.transientPanels = new toolkit::TransientPanelHost(m_services.timers, owner);
    m_services.progressOverlay = new toolkit::ProgressOverlay(owner);
    m_alertPresenter = std::make_unique<toolkit::AlertPresenter>();
    m_sources =
        std::make_unique<ui::ApplicationDatabaseSources>(delegate, *m_services.transientPanels);
    m_services.sources = m_sources.get();
    m_panelStack = std::make_unique<ui::NavigationPanelStack>(m_services);

    auto menu = std::make_unique<ui::MainMenu>(m_services, *m_panelStack);
    m_menu = menu.get();
    m_menu->setSettingsScreenFactory(ui::SettingsMenuScreens(m_services));
    m_services.stack = new toolkit::StackController(std::move(menu), owner);
    m_services.alerts = m_alertPresenter.get();

    if (m_window) {
        auto* shortcuts = new ui::KeyboardShortcuts(m_services, *m_window);
        m_window->setUnhandledKeyHandler(
            [shortcuts](int key) { static_cast<void>(shortcuts->takeUnhandledKey(key)); });
    }

    if (m_window) {
        m_window->setInitialProperties(
            {{QStringLiteral("stack"), QVariant::fromValue<QObject*>(m_services.stack)},
             {QStringLiteral("modalPresenter"),
              QVariant::fromValue<QObject*>(m_services.modalPresenter)},
             {QStringLiteral("transientPanels"),
              QVariant::fromValue<QObject*>(m_services.transientPanels)},
             {QStringLiteral("progressOverlay"),
              QVariant::fromValue<QObject*>(m_services.progressOverlay)},
             {QStringLiteral("alertPresenter"),
              QVariant::fromValue<QObject*>(m_alertPresenter.get())}});
        m_window->setSource(QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/ToolkitScene.qml")));
        if (m_window->status() != QQuickView::Ready) {
            for (const QQmlError& error : m_window->errors()) {
                qWarning().noquote() << error.toString();
            }
        }
        m_window->show();
    }
    return m_panelStack.get();
}

void ScreenLaunchParts::createCrashReportManager(app::ApplicationController& delegate) {
    Q_UNUSED(delegate);
    if (!m_alertPresenter) {
        return;
    }
    // The manager catches crashes from now on and asks about earlier ones a second later.
    crash::createCrashReportManager(
        std::make_unique<ui::CrashReportAlertQuestion>(*m_alertPresenter), m_sceneObjects.get());
}

void ScreenLaunchParts::setDropboxService(vaultora::sync::DropboxServiceConfiguration configuration,
                                          const QString& settingsFile) {
    m_dropboxConfiguration = std::move(configuration);
    m_dropboxSettingsFile = settingsFile;
}

void ScreenLaunchParts::createDropboxSession(app::ApplicationController& delegate) {
    using namespace vaultora::sync;
    // The delegate has nothing to do when a token is refused, so the session gets none.
    m_dropboxSession =
        std::make_unique<DropboxSession>(DropboxServiceConfiguration::applicationConsumerKey,
                                         DropboxServiceConfiguration::applicationConsumerSecret,
                                         m_dropboxConfiguration, m_dropboxSettingsFile);
    DropboxSession::setSharedSession(m_dropboxSession.get());
    ui::DropboxScreenServices services;
    services.session = m_dropboxSession.get();
    services.modalPresenter = m_services.modalPresenter;
    services.alerts = m_alertPresenter.get();
    services.progressOverlay = m_services.progressOverlay;
    services.transientPanels = m_services.transientPanels;
    services.timers = m_services.timers;
    m_dropboxLogins = std::make_unique<ui::DropboxLoginScreenPresenter>(services);
    m_dropBox = std::make_unique<DropboxSyncRunner>(
        m_dropboxLogins->syncServices(), [&delegate](const QString& name) {
            return delegate.getDocumentBaseDirectoryForFileName(name);
        });
    m_services.dropbox = m_dropBox.get();
    m_services.dropboxLogins = m_dropboxLogins.get();
    if (m_sources)
        m_sources->setDropbox(m_dropBox.get());
}

} // namespace vaultora::launch
