#pragma once

#include <optional>
#include <string>

namespace vaultora::crash {

// The process-wide part of the crash collector: the signal handlers and the text they write.
// Everything the handlers need is prepared by install(), because a handler may only call
// async-signal-safe functions and must not allocate.
class CrashSignalHandler final {
public:
    struct Identity {
        std::string applicationIdentifier;
        std::string applicationVersion;
        std::string operatingSystemVersion;
        std::string processName;
    };

    CrashSignalHandler() = delete;

    // Installs the handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT. A report is
    // written to reportPath (through a temporary file beside it, renamed into place). Returns
    // an error text on failure.
    [[nodiscard]] static std::optional<std::string> install(const std::string& reportPath,
                                                            const Identity& identity);
    // Puts back the actions that were in place before install().
    static void uninstall();
    [[nodiscard]] static bool isInstalled();
};

} // namespace vaultora::crash
