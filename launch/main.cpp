#include "app/ApplicationController.h"
#include "app/PrivateStorage.h"
#include "launch/ApplicationIdentity.h"
#include "launch/ScreenLaunchParts.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <string_view>

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it works without a display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("vaultora %s\n", VAULTORA_VERSION);
        return 0;
    }
    vaultora::app::PrivateStorage::restrictNewFiles();
    QGuiApplication application(argc, argv);
    vaultora::launch::identifyAsTheApplication(QStringLiteral(VAULTORA_VERSION));

    vaultora::app::ApplicationController delegate(
        std::make_unique<vaultora::launch::ScreenLaunchParts>());
    delegate.didFinishLaunchingWithOptions();
    return QGuiApplication::exec();
}
