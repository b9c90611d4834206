#pragma once

#include <QString>

namespace vaultora::webserver {

// Whether a name in the documents directory belongs to the application (the registry, the
// legacy file list and the copies set aside when they could not be read), to an upload in
// progress or to the desktop's bookkeeping. Such files are never listed or served, and no
// upload may take their name. Compared without letter case, since on a case-insensitive file
// system "vaultora.plist" is the registry.
[[nodiscard]] bool isReservedDocumentName(const QString& name);

// The prefix of the files an upload may leave behind when the process is killed during its
// final rename.
[[nodiscard]] QString uploadTemporaryPrefix();

} // namespace vaultora::webserver
