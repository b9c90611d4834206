#pragma once

#include <QByteArray>
#include <QStringList>

namespace vaultora::app::testing {

// Reads the bytes as the registry file and as the legacy database list are read (XML or
// binary property list), decodes both, then writes the registry as it is saved and reads it
// back: what was read must survive the round trip. Returns the sentences of the checks that
// failed, empty when all held.
[[nodiscard]] QStringList checkRegistryFile(const QByteArray& bytes);

} // namespace vaultora::app::testing
