#pragma once

#include <atomic>

#include "DatabaseError.h"

namespace vaultora::kdb {

// Set from another thread (or a signal handler) to stop an open that is still deriving its
// key. The key derivations look at it between steps; a cancelled open throws
// ("Cancelled", "Cancelled") after wiping what it had derived.
class CancelFlag {
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool isCancelled() const noexcept {
        return m_cancelled.load(std::memory_order_relaxed);
    }
    void throwIfCancelled() const {
        if (isCancelled()) {
            throw DatabaseError("Cancelled", "Cancelled");
        }
    }

private:
    std::atomic<bool> m_cancelled{false};
};

} // namespace vaultora::kdb
