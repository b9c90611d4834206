#pragma once

#include <stdexcept>
#include <string>

namespace vaultora::cli {

// Exit statuses of vaultora-cli.
// Interrupted is the shell's status for a process ended by Ctrl-C (128 + SIGINT).
enum class ExitStatus : int { Success = 0, Failure = 1, Usage = 2, Interrupted = 130 };

// A failure that ends the command with a one-line message on standard error.
class CliError final : public std::runtime_error {
public:
    CliError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), m_status(status) {}

    [[nodiscard]] ExitStatus status() const noexcept { return m_status; }

private:
    ExitStatus m_status;
};

} // namespace vaultora::cli
