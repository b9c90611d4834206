#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Every test talks to servers on 127.0.0.1 that it starts itself; a proxy of the machine
    // must not see that traffic. The proxy test sets its own.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(name);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vaultora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QStandardPaths::setTestModeEnabled(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
