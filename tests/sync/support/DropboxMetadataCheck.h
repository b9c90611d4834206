#pragma once

#include <QByteArray>
#include <QStringList>

namespace vaultora::sync::testing {

// Reads the bytes as the Dropbox client reads a metadata answer (a JSON object, folders
// holding the metadata of their entries) and archives the metadata as it is kept between
// runs: the archive must give back the same metadata. Returns the sentences of the checks
// that failed, empty when all held.
[[nodiscard]] QStringList checkDropboxMetadata(const QByteArray& bytes);

} // namespace vaultora::sync::testing
