#include "InterruptCancel.h"

#include <unistd.h>

namespace vaultora::cli {

namespace {

kdb::CancelFlag interruptFlag;

// Only async-signal-safe work: a lock-free atomic store, or _exit.
void onInterrupt(int) {
    if (interruptFlag.isCancelled()) {
        _exit(130);
    }
    interruptFlag.cancel();
}

} // namespace

InterruptCancel::InterruptCancel() {
    struct sigaction action {};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previous);
}

InterruptCancel::~InterruptCancel() {
    sigaction(SIGINT, &m_previous, nullptr);
}

const kdb::CancelFlag& InterruptCancel::flag() const noexcept {
    return interruptFlag;
}

} // namespace vaultora::cli
