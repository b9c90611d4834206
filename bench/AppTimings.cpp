// vaultora-app-timings FILE < password: the app's cold start to the first frame of the menu,
// then what a login costs until the first frame of the database's browser: the open of FILE
// (key derivation included, on the main thread here where the app uses a worker), the
// browser panel and its first frame. The app runs as `vaultora` does, on a scratch documents
// directory; with QT_QPA_PLATFORM=offscreen it draws with the software renderer.
#include "app/ApplicationController.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"
#include "kdb/SecureBytes.h"
#include "launch/ScreenLaunchParts.h"
#include "ui/GroupBrowser.h"
#include "ui/IdleWatchingWindow.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

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

bool waitForFrame(QQuickWindow& window) {
    QSignalSpy frame(&window, &QQuickWindow::frameSwapped);
    window.requestUpdate();
    return frame.wait(30000);
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc != 2) {
        std::cerr << "usage: vaultora-app-timings FILE < password\n";
        return 2;
    }
    std::string line;
    std::getline(std::cin, line);
    const vaultora::kdb::SecureBytes password = vaultora::kdb::secureBytesFromText(line);
    vaultora::kdb::secureWipe(line.data(), line.size());

    QGuiApplication application(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    QTemporaryDir documents;
    auto owned = std::make_unique<vaultora::launch::ScreenLaunchParts>();
    vaultora::launch::ScreenLaunchParts* parts = owned.get();
    vaultora::app::ApplicationController delegate(std::move(owned), documents.path());
    delegate.didFinishLaunchingWithOptions();
    vaultora::ui::IdleWatchingWindow* window = parts->window();
    if (window == nullptr || !waitForFrame(*window)) {
        std::cerr << "the menu was never drawn\n";
        return 1;
    }
    const double menuSinceMain = static_cast<double>(sinceMain.nsecsElapsed()) / 1e9;
    const double menuSinceStart = secondsSinceProcessStart();

    QElapsedTimer login;
    login.start();
    std::shared_ptr<vaultora::kdb::DatabaseTree> tree;
    try {
        tree = vaultora::kdb::openDatabase(
            std::make_unique<vaultora::kdb::MappedFileSource>(argv[1]), password);
    } catch (const std::exception& error) {
        std::cerr << "cannot open " << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    const double opened = static_cast<double>(login.nsecsElapsed()) / 1e9;
    // What the menu does with an opened tree.
    const vaultora::ui::ScreenServices& services = parts->services();
    auto browser = std::make_unique<vaultora::ui::GroupBrowser>(services);
    browser->setIsStackedView(true);
    vaultora::kdb::DatabaseGroup* root = tree->getRoot();
    browser->setGroup(tree, root);
    vaultora::ui::GroupBrowser* shown = browser.get();
    auto container = std::make_unique<vaultora::toolkit::NavigationContainer>(std::move(browser));
    shown->setNavController(container.get());
    services.stack->pushPanel(std::move(container), nullptr, vaultora::toolkit::Animated::Yes);
    services.stack->collapseStack(1, vaultora::toolkit::Animated::Yes);
    if (!waitForFrame(*window)) {
        std::cerr << "the browser was never drawn\n";
        return 1;
    }
    const double firstFrame = static_cast<double>(login.nsecsElapsed()) / 1e9;
    std::cout << "menu_first_frame_since_main_s " << menuSinceMain << '\n'
              << "menu_first_frame_since_exec_s " << menuSinceStart << '\n'
              << "login_open_s " << opened << '\n'
              << "login_to_browser_first_frame_s " << firstFrame << '\n';
    return 0;
}
