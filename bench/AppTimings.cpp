// vaultora-app-timings FILE < password: what a user waits for in the app. The cold start to the
// first frame of the menu, then a login as the user makes it: the database's row opens the
// password form, the password goes into the form's field, and the field's Return (what the
// form's view calls on that key) logs in; the open runs on the app's worker behind its progress
// overlay, the menu pushes the browser panel, and the clock stops at the window's first frame
// with that panel in it.
//
// The app starts as `vaultora` does (launch/main.cpp), with its registry holding one record for
// a copy of FILE in its documents directory, inside a sandbox made for the run: HOME and the
// XDG folders point into a temporary directory and no session bus is reachable, so the user's
// registry, settings and keyring are never touched. With QT_QPA_PLATFORM=offscreen it draws with
// the software renderer.
#include "app/ApplicationController.h"
#include "app/PrivateStorage.h"
#include "base/DatabaseRecord.h"
#include "kdb/SecureBytes.h"
#include "launch/ApplicationIdentity.h"
#include "launch/ScreenLaunchParts.h"
#include "tests/ui/LaunchedApp.h"
#include "ui/GroupBrowser.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/MainMenu.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/FormRow.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanel.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>

using vaultora::test::screens::LaunchedApp;

namespace {

// Seconds since the process started, from the kernel's start time (in clock ticks since boot).
double secondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int index = 1; index <= 22 && stat >> field; ++index) {
    }
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return uptime - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double seconds(qint64 nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e9;
}

// Points HOME and the XDG folders into the sandbox and cuts the session bus off, before Qt reads
// any of them. False when a folder cannot be made.
bool enterSandbox(const QString& sandbox) {
    const std::pair<const char*, const char*> folders[] = {
        {"HOME", "home"},
        {"XDG_CONFIG_HOME", "config"},
        {"XDG_DATA_HOME", "data"},
        {"XDG_CACHE_HOME", "cache"},
        {"XDG_RUNTIME_DIR", "runtime"},
    };
    for (const auto& [variable, name] : folders) {
        const QString path = sandbox + QLatin1Char('/') + QLatin1String(name);
        if (!QDir().mkpath(path) ||
            !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            return false;
        }
        qputenv(variable, QFile::encodeName(path));
    }
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("XDG_CONFIG_DIRS");
    qunsetenv("XDG_DATA_DIRS");
    return true;
}

// Copies the database into the documents directory and writes a registry whose one record
// opens it with a typed password, as an uploaded file is registered.
bool registerDatabase(vaultora::app::ApplicationController& delegate, const QString& file) {
    const QString name = QFileInfo(file).fileName();
    const QString copy = delegate.getDocumentBaseDirectoryForFileName(name);
    if (!QDir().mkpath(delegate.documentsDirectory()) || !QFile::copy(file, copy)) {
        std::cerr << "cannot copy " << file.toStdString() << " into "
                  << delegate.documentsDirectory().toStdString() << '\n';
        return false;
    }
    auto record = std::make_shared<vaultora::base::DatabaseRecord>();
    record->setServerDisplayName(QStringLiteral("Benchmark"));
    record->setDatabaseName(name);
    record->setServerUrl(QStringLiteral("https://localhost/") + name);
    record->setSyncType(vaultora::base::DatabaseRecord::SyncTypeWebServer);
    record->setSavePassword(0);
    delegate.serverArray().push_back(std::move(record));
    delegate.savePList();
    return QFileInfo::exists(delegate.registryFilePath());
}

// Runs the event loop until done() holds, checked whenever one of the connections fires;
// false after the timeout.
bool runUntil(const std::function<bool()>& done, int timeoutMilliseconds, QEventLoop& loop) {
    if (done()) {
        return true;
    }
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(timeoutMilliseconds);
    while (!done() && timeout.isActive()) {
        loop.exec();
    }
    return done();
}

// Asks for a frame and waits until one is drawn.
bool waitForFrame(QQuickWindow& window, QEventLoop& loop) {
    bool drawn = false;
    const QMetaObject::Connection frames =
        QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, [&] {
            drawn = true;
            loop.quit();
        });
    window.requestUpdate();
    const bool result = runUntil([&] { return drawn; }, 30000, loop);
    QObject::disconnect(frames);
    return result;
}

vaultora::ui::PasswordForm* presentedPasswordForm(const vaultora::ui::ScreenServices& services) {
    auto* container = qobject_cast<vaultora::toolkit::NavigationContainer*>(
        services.modalPresenter->presentedPanel());
    return container != nullptr ? qobject_cast<vaultora::ui::PasswordForm*>(container->topPanel())
                                : nullptr;
}

bool browserIsShown(const vaultora::toolkit::StackController& stack) {
    const auto panels = stack.viewControllers();
    const auto* container =
        panels.isEmpty() ? nullptr
                         : qobject_cast<vaultora::toolkit::NavigationContainer*>(panels.front());
    return container != nullptr &&
           qobject_cast<vaultora::ui::GroupBrowser*>(container->topPanel()) != nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc != 2) {
        std::cerr << "usage: vaultora-app-timings FILE < password\n";
        return 2;
    }
    const QString file = QFileInfo(QFile::decodeName(argv[1])).absoluteFilePath();
    if (!QFileInfo(file).isFile()) {
        std::cerr << "no file " << argv[1] << '\n';
        return 2;
    }
    std::string line;
    std::getline(std::cin, line);
    const vaultora::kdb::SecureBytes password = vaultora::kdb::secureBytesFromText(line);
    vaultora::kdb::secureWipe(line.data(), line.size());

    const QTemporaryDir sandbox;
    if (!sandbox.isValid() || !enterSandbox(sandbox.path())) {
        std::cerr << "cannot make the sandbox\n";
        return 1;
    }
    vaultora::app::PrivateStorage::restrictNewFiles();
    QGuiApplication application(argc, argv);
    vaultora::launch::identifyAsTheApplication(QStringLiteral(VAULTORA_VERSION));

    LaunchedApp app;
    if (!registerDatabase(app.delegate(), file)) {
        return 1;
    }
    if (!app.launch()) {
        std::cerr << "the app did not come up in a window\n";
        return 1;
    }
    QEventLoop loop;
    vaultora::ui::IdleWatchingWindow* window = app.window();
    if (!waitForFrame(*window, loop)) {
        std::cerr << "the menu was never drawn\n";
        return 1;
    }
    const double menuSinceMain = seconds(sinceMain.nsecsElapsed());
    const double menuSinceStart = secondsSinceProcessStart();

    // The row opens the password form (no password is saved); the login starts once it is on
    // screen, as the user types into it only then.
    const vaultora::ui::ScreenServices& services = app.parts().services();
    vaultora::toolkit::StackController& stack = *app.stack();
    QObject::connect(services.modalPresenter, &vaultora::toolkit::ModalPresenter::presentingChanged,
                     &loop, &QEventLoop::quit);
    app.menu()->tableViewDidSelectRowAtIndexPath(vaultora::ui::MainMenu::DatabasesSection, 0);
    if (!runUntil([&] { return presentedPasswordForm(services) != nullptr; }, 30000, loop)) {
        std::cerr << "no password form came up\n";
        return 1;
    }
    if (!waitForFrame(*window, loop)) {
        std::cerr << "the password form was never drawn\n";
        return 1;
    }
    vaultora::toolkit::FormRow* field =
        presentedPasswordForm(services)->form()->rowForKey(QStringLiteral("password"));
    field->enterText(QString::fromUtf8(reinterpret_cast<const char*>(password.data()),
                                       static_cast<qsizetype>(password.size())));

    // From the submit on: the panel's push, then the first frame drawn after it. A failed open
    // shows an error instead.
    QElapsedTimer sinceSubmit;
    std::optional<qint64> browserPushed;
    std::optional<qint64> browserDrawn;
    QString failure;
    QObject::connect(&stack, &vaultora::toolkit::StackController::countChanged, &loop, [&] {
        if (!browserPushed && browserIsShown(stack)) {
            browserPushed = sinceSubmit.nsecsElapsed();
        }
    });
    QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
        if (browserPushed && !browserDrawn) {
            browserDrawn = sinceSubmit.nsecsElapsed();
            loop.quit();
        }
    });
    QObject::connect(services.transientPanels, &QAbstractItemModel::rowsInserted, &loop,
                     [&](const QModelIndex&, int first) {
                         failure = services.transientPanels->panels().at(first)->title();
                         loop.quit();
                     });
    sinceSubmit.start();
    field->submit();
    if (!runUntil([&] { return browserDrawn.has_value() || !failure.isEmpty(); }, 600000, loop) ||
        !failure.isEmpty()) {
        std::cerr << "the login did not reach the browser"
                  << (failure.isEmpty() ? std::string() : ": " + failure.toStdString()) << '\n';
        return 1;
    }
    std::cout << "menu_first_frame_since_main_s " << menuSinceMain << '\n'
              << "menu_first_frame_since_exec_s " << menuSinceStart << '\n'
              << "login_to_browser_pushed_s " << seconds(*browserPushed) << '\n'
              << "login_to_browser_first_frame_s " << seconds(*browserDrawn) << '\n';
    return 0;
}
