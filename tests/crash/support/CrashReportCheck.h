#pragma once

#include <QByteArray>
#include <QStringList>

namespace vaultora::crash::testing {

// Reads the bytes as a crash report found at launch is read, and renders a report that parses
// as the crash log that is offered for sending. Returns the sentences of the checks that
// failed, empty when all held.
[[nodiscard]] QStringList checkCrashReport(const QByteArray& bytes);

} // namespace vaultora::crash::testing
