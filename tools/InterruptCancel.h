#pragma once

#include <csignal>

#include "kdb/CancelFlag.h"

namespace vaultora::cli {

// While it lives, Ctrl-C (SIGINT) sets the cancel flag of an open instead of ending the
// process, so that the key derivation stops and wipes what it derived; a second Ctrl-C ends
// the process at once. One at a time.
class InterruptCancel {
public:
    InterruptCancel();
    ~InterruptCancel();
    InterruptCancel(const InterruptCancel&) = delete;
    InterruptCancel& operator=(const InterruptCancel&) = delete;

    [[nodiscard]] const kdb::CancelFlag& flag() const noexcept;

private:
    struct sigaction m_previous {};
};

} // namespace vaultora::cli
