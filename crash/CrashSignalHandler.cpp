#include "crash/CrashSignalHandler.h"

#include <boost/stacktrace/safe_dump_to.hpp>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

namespace vaultora::crash {
namespace {

constexpr std::array<int, 5> caughtSignals{SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t maximumFrames = 128;
constexpr std::size_t pathCapacity = 4096;
constexpr std::size_t headerCapacity = 4096;
constexpr std::size_t mapsLineCapacity = 1024;
constexpr char temporarySuffix[] = ".writing";
constexpr char reportMagic[] = "VaultoraCrashReport 1\n";

// All of this is filled in by install() on the main thread, before any handler can run, and
// only read by the handler afterwards.
std::array<char, pathCapacity> g_reportPath{};
std::array<char, pathCapacity> g_temporaryPath{};
std::array<char, headerCapacity> g_header{};
std::size_t g_headerLength = 0;
std::array<struct sigaction, caughtSignals.size()> g_previousActions{};
bool g_installed = false;

// Scratch space for the handler, which must not allocate.
std::atomic<bool> g_handling{false};
std::array<const void*, maximumFrames + 1> g_frames{};
std::array<char, 4096> g_mapsChunk{};
std::array<char, mapsLineCapacity> g_mapsLine{};
// A stack overflow leaves no room on the thread's own stack for the handler.
alignas(16) std::array<char, 64 * 1024> g_alternateStack{};

class ReportWriter final {
public:
    explicit ReportWriter(int descriptor) : m_descriptor(descriptor) {}

    void text(const char* characters, std::size_t length) {
        while (length > 0) {
            const ssize_t written = ::write(m_descriptor, characters, length);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return;
            }
            characters += written;
            length -= static_cast<std::size_t>(written);
        }
    }
    void text(const char* characters) { text(characters, std::strlen(characters)); }

    void hexadecimal(std::uintptr_t value) {
        std::array<char, 2 + 2 * sizeof(value)> digits{};
        std::size_t position = digits.size();
        do {
            digits[--position] = "0123456789abcdef"[value & 0xf];
            value >>= 4;
        } while (value != 0);
        digits[--position] = 'x';
        digits[--position] = '0';
        text(digits.data() + position, digits.size() - position);
    }

    void decimal(long long value) {
        std::array<char, 24> digits{};
        std::size_t position = digits.size();
        const bool negative = value < 0;
        unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                : static_cast<unsigned long long>(value);
        do {
            digits[--position] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) {
            digits[--position] = '-';
        }
        text(digits.data() + position, digits.size() - position);
    }

private:
    int m_descriptor;
};

std::uintptr_t programCounter(const void* context) {
    const auto* userContext = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(userContext->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<std::uintptr_t>(userContext->uc_mcontext.pc);
#else
    (void)userContext;
    return 0;
#endif
}

// Parses the hexadecimal number at text[position] up to the terminator; false when none.
bool parseHexadecimal(const char* text, std::size_t length, std::size_t& position, char terminator,
                      std::uintptr_t& value) {
    value = 0;
    const std::size_t start = position;
    while (position < length && text[position] != terminator) {
        const char digit = text[position];
        std::uintptr_t nibble = 0;
        if (digit >= '0' && digit <= '9') {
            nibble = static_cast<std::uintptr_t>(digit - '0');
        } else if (digit >= 'a' && digit <= 'f') {
            nibble = static_cast<std::uintptr_t>(digit - 'a' + 10);
        } else {
            return false;
        }
        value = (value << 4) | nibble;
        ++position;
    }
    if (position == start || position == length) {
        return false;
    }
    ++position;
    return true;
}

bool containsFrame(std::uintptr_t start, std::uintptr_t end, std::size_t firstFrame,
                   std::size_t frameCount, std::uintptr_t counter) {
    if (counter >= start && counter < end) {
        return true;
    }
    for (std::size_t index = firstFrame; index < frameCount; ++index) {
        const auto address = reinterpret_cast<std::uintptr_t>(g_frames[index]);
        if (address >= start && address < end) {
            return true;
        }
    }
    return false;
}

// Only executable mappings that hold a frame are copied: they are what the frames need for
// symbol names, and data mappings (an open database file among them) must stay out.
void writeImageIfItHoldsAFrame(ReportWriter& writer, const char* line, std::size_t length,
                               std::size_t firstFrame, std::size_t frameCount,
                               std::uintptr_t counter) {
    std::size_t position = 0;
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    if (!parseHexadecimal(line, length, position, '-', start) ||
        !parseHexadecimal(line, length, position, ' ', end)) {
        return;
    }
    if (position + 3 >= length || line[position + 2] != 'x') {
        return;
    }
    if (!containsFrame(start, end, firstFrame, frameCount, counter)) {
        return;
    }
    writer.text("Image: ");
    writer.text(line, length);
    writer.text("\n");
}

void writeImages(ReportWriter& writer, std::size_t firstFrame, std::size_t frameCount,
                 std::uintptr_t counter) {
    const int maps = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0) {
        return;
    }
    std::size_t lineLength = 0;
    for (;;) {
        const ssize_t count = ::read(maps, g_mapsChunk.data(), g_mapsChunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        for (ssize_t index = 0; index < count; ++index) {
            const char character = g_mapsChunk[static_cast<std::size_t>(index)];
            if (character == '\n') {
                writeImageIfItHoldsAFrame(writer, g_mapsLine.data(), lineLength, firstFrame,
                                          frameCount, counter);
                lineLength = 0;
            } else if (lineLength < g_mapsLine.size()) {
                g_mapsLine[lineLength++] = character;
            }
        }
    }
    ::close(maps);
}

void writeReport(int signalNumber, const siginfo_t* info, const void* context) {
    const int descriptor =
        ::open(g_temporaryPath.data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return;
    }
    ReportWriter writer(descriptor);
    writer.text(g_header.data(), g_headerLength);
    writer.text("PID: ");
    writer.decimal(::getpid());
    writer.text("\nSignal: ");
    writer.decimal(signalNumber);
    writer.text("\nCode: ");
    writer.decimal(info != nullptr ? info->si_code : 0);
    writer.text("\nFault Address: ");
    writer.hexadecimal(info != nullptr ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    writer.text("\nTime: ");
    writer.decimal(now.tv_sec);
    const std::uintptr_t counter = context != nullptr ? programCounter(context) : 0;
    writer.text("\nPC: ");
    writer.hexadecimal(counter);
    writer.text("\n");

    // The count includes the null that ends the stored frames.
    const std::size_t stored =
        boost::stacktrace::safe_dump_to(0, g_frames.data(), g_frames.size() * sizeof(g_frames[0]));
    const std::size_t frameCount = stored > 0 ? stored - 1 : 0;
    // The first frames belong to this handler and the signal trampoline; the interrupted
    // code starts at the frame whose address is the program counter of the signal context.
    std::size_t firstFrame = 0;
    for (std::size_t index = 0; index < frameCount; ++index) {
        if (reinterpret_cast<std::uintptr_t>(g_frames[index]) == counter) {
            firstFrame = index;
            break;
        }
    }
    for (std::size_t index = firstFrame; index < frameCount; ++index) {
        writer.text("Frame: ");
        writer.hexadecimal(reinterpret_cast<std::uintptr_t>(g_frames[index]));
        writer.text("\n");
    }
    writeImages(writer, firstFrame, frameCount, counter);
    writer.text("End\n");
    ::close(descriptor);
    ::rename(g_temporaryPath.data(), g_reportPath.data());
}

void dieWithDefaultAction(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
    // The signal stays blocked while this handler runs, so it is delivered with the default
    // action as soon as the handler returns; a fault would also simply recur.
    ::raise(signalNumber);
}

void handleSignal(int signalNumber, siginfo_t* info, void* context) {
    if (g_handling.exchange(true)) {
        dieWithDefaultAction(signalNumber);
        return;
    }
    const int savedError = errno;
    writeReport(signalNumber, info, context);
    errno = savedError;
    dieWithDefaultAction(signalNumber);
}

void appendField(std::string& header, const char* key, const std::string& value) {
    header += key;
    header += ": ";
    for (const char character : value) {
        header += (character == '\n' || character == '\r') ? ' ' : character;
    }
    header += '\n';
}

bool copyPath(std::array<char, pathCapacity>& destination, const std::string& path) {
    if (path.empty() || path.size() >= destination.size()) {
        return false;
    }
    std::memcpy(destination.data(), path.c_str(), path.size() + 1);
    return true;
}

void restorePreviousActions(std::size_t count) {
    for (std::size_t index = 0; index < count; ++index) {
        ::sigaction(caughtSignals[index], &g_previousActions[index], nullptr);
    }
}

} // namespace

std::optional<std::string> CrashSignalHandler::install(const std::string& reportPath,
                                                       const Identity& identity) {
    if (g_installed) {
        return std::string("another crash collector is already enabled");
    }
    if (!copyPath(g_reportPath, reportPath) ||
        !copyPath(g_temporaryPath, reportPath + temporarySuffix)) {
        return std::string("the crash report path is empty or too long");
    }
    std::string header = reportMagic;
    appendField(header, "Identifier", identity.applicationIdentifier);
    appendField(header, "Version", identity.applicationVersion);
    appendField(header, "OS Version", identity.operatingSystemVersion);
    appendField(header, "Process", identity.processName);
    if (header.size() >= g_header.size()) {
        return std::string("the crash report header is too long");
    }
    std::memcpy(g_header.data(), header.data(), header.size());
    g_headerLength = header.size();

    stack_t alternateStack{};
    alternateStack.ss_sp = g_alternateStack.data();
    alternateStack.ss_size = g_alternateStack.size();
    if (::sigaltstack(&alternateStack, nullptr) != 0) {
        return std::string("could not set the signal stack: ") + std::strerror(errno);
    }
    // The first stack walk may load unwinding tables; doing it now keeps that out of the
    // handler.
    (void)boost::stacktrace::safe_dump_to(0, g_frames.data(),
                                          g_frames.size() * sizeof(g_frames[0]));

    struct sigaction action {};
    action.sa_sigaction = &handleSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : caughtSignals) {
        sigaddset(&action.sa_mask, signalNumber);
    }
    for (std::size_t index = 0; index < caughtSignals.size(); ++index) {
        if (::sigaction(caughtSignals[index], &action, &g_previousActions[index]) != 0) {
            const std::string reason = std::strerror(errno);
            restorePreviousActions(index);
            return "could not install a signal handler: " + reason;
        }
    }
    g_handling = false;
    g_installed = true;
    return std::nullopt;
}

void CrashSignalHandler::uninstall() {
    if (!g_installed) {
        return;
    }
    restorePreviousActions(caughtSignals.size());
    g_installed = false;
}

bool CrashSignalHandler::isInstalled() {
    return g_installed;
}

} // namespace vaultora::crash
