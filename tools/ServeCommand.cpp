#include "ServeCommand.h"

#include "base/NotificationCenter.h"
#include "webserver/HttpServer.h"
#include "webserver/LocalAddress.h"
#include "webserver/ServerLog.h"
#include "webserver/UploadConnection.h"
#include "webserver/WebServerNotifications.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace vaultora::cli {

namespace {

int stopPipe[2] = {-1, -1};

extern "C" void writeStopByte(int /*signal*/) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop reads the byte and quits.
    [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &byte, 1);
}

// Turns SIGINT and SIGTERM into a readable pipe for the event loop while it exists.
class StopSignals final {
public:
    StopSignals() {
        if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            throw CliError(ExitStatus::Failure, "cannot watch for stop signals");
        }
        struct sigaction action {};
        action.sa_handler = writeStopByte;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &m_previousInterrupt);
        ::sigaction(SIGTERM, &action, &m_previousTerminate);
    }
    ~StopSignals() {
        ::sigaction(SIGINT, &m_previousInterrupt, nullptr);
        ::sigaction(SIGTERM, &m_previousTerminate, nullptr);
        ::close(stopPipe[0]);
        ::close(stopPipe[1]);
        stopPipe[0] = stopPipe[1] = -1;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    [[nodiscard]] int readDescriptor() const { return stopPipe[0]; }

private:
    struct sigaction m_previousInterrupt {};
    struct sigaction m_previousTerminate {};
};

std::optional<uint16_t> parsePort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int value = std::stoi(text);
    return value <= 65535 ? std::optional<uint16_t>(static_cast<uint16_t>(value)) : std::nullopt;
}

} // namespace

ExitStatus runServe(const Invocation& invocation, CommandContext& context) {
    std::string directory = invocation.arguments[0];
    uint16_t port = 0;
    if (invocation.hasOption("--port")) {
        if (invocation.arguments.size() != 2) {
            throw CliError(ExitStatus::Usage, "usage: vaultora-cli serve DIR [--port N]");
        }
        // "--port N DIR" leaves the number first among the positional words.
        std::string portText = invocation.arguments[1];
        if (parsePort(directory) && !parsePort(portText)) {
            std::swap(directory, portText);
        }
        const std::optional<uint16_t> parsed = parsePort(portText);
        if (!parsed) {
            throw CliError(ExitStatus::Usage, "--port needs a number from 0 to 65535");
        }
        port = *parsed;
    } else if (invocation.arguments.size() != 1) {
        throw CliError(ExitStatus::Usage, "usage: vaultora-cli serve DIR [--port N]");
    }
    const QFileInfo root(QString::fromStdString(directory));
    if (!root.isDir()) {
        throw CliError(ExitStatus::Failure, "not a directory: " + directory);
    }

    std::unique_ptr<QCoreApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        static int argumentCount = 1;
        static char programName[] = "vaultora-cli";
        static char* arguments[] = {programName, nullptr};
        application = std::make_unique<QCoreApplication>(argumentCount, arguments);
    }

    webserver::HttpServer server;
    server.setDocumentRoot(root.absoluteFilePath());
    server.setConnectionClass<webserver::UploadConnection>();
    server.setType(QStringLiteral("_http._tcp."));
    server.setPort(port);
    QObject observer;
    base::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(webserver::notifications::newFileUploaded), &observer,
        [&context](const base::Notification& notification) {
            // The name came from the network; it must not write lines or escapes of its own.
            const QString name = notification.userInfo.value(QStringLiteral("filename")).toString();
            context.out << "Stored upload: " << webserver::printableText(name).toStdString()
                        << "\n";
            context.out.flush();
        });

    const StopSignals stopSignals;
    QString error;
    if (!server.start(&error)) {
        throw CliError(ExitStatus::Failure, "cannot listen: " + error.toStdString());
    }
    context.out << "Serving " << root.absoluteFilePath().toStdString() << " on port "
                << server.port() << "\n"
                << "Open http://" << webserver::localIPv4Address().toStdString() << ":"
                << server.port() << "/ in a browser on the same network\n";
    context.out.flush();

    QSocketNotifier stopNotifier(stopSignals.readDescriptor(), QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();

    server.stop();
    context.out << "Stopped\n";
    return ExitStatus::Success;
}

} // namespace vaultora::cli
