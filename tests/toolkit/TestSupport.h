// Helpers shared by the toolkit tests.
#pragma once

#include <QCoreApplication>
#include <QEvent>

namespace vaultora::toolkit::testing {

// Runs the deletions that closed panels and hidden notices scheduled for the next loop turn.
inline void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace vaultora::toolkit::testing
