#include "PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "CliError.h"

namespace vaultora::cli {

namespace {

// Switches terminal echo off for its lifetime and restores the previous settings after.
class EchoOff final {
public:
    explicit EchoOff(int descriptor) : m_descriptor(descriptor) {
        if (tcgetattr(m_descriptor, &m_saved) == 0) {
            termios silent = m_saved;
            silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            m_active = tcsetattr(m_descriptor, TCSAFLUSH, &silent) == 0;
        }
    }
    ~EchoOff() {
        if (m_active) {
            tcsetattr(m_descriptor, TCSAFLUSH, &m_saved);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int m_descriptor;
    termios m_saved{};
    bool m_active = false;
};

void writeText(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written <= 0 && errno != EINTR) {
            return;
        }
        if (written > 0) {
            text.remove_prefix(static_cast<std::size_t>(written));
        }
    }
}

// Reads byte by byte so that nothing past the first line is consumed and the password never
// passes through a buffer that is not wiped.
kdb::SecureBytes readLine(int descriptor) {
    kdb::SecureBytes line;
    bool sawAnything = false;
    for (;;) {
        unsigned char byte = 0;
        const ssize_t count = ::read(descriptor, &byte, 1);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw CliError(ExitStatus::Failure,
                           std::string("cannot read the password: ") + std::strerror(errno));
        }
        if (count == 0) {
            if (!sawAnything) {
                throw CliError(ExitStatus::Failure, "no master password on standard input");
            }
            break;
        }
        sawAnything = true;
        if (byte == '\n') {
            break;
        }
        line.push_back(byte);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

kdb::SecureBytes readMasterPassword(int inputDescriptor, int promptDescriptor) {
    if (!isatty(inputDescriptor)) {
        return readLine(inputDescriptor);
    }
    writeText(promptDescriptor, "Master password: ");
    kdb::SecureBytes password;
    {
        const EchoOff echoOff(inputDescriptor);
        password = readLine(inputDescriptor);
    }
    writeText(promptDescriptor, "\n");
    return password;
}

} // namespace vaultora::cli
