#pragma once

#include <QByteArray>
#include <QString>

namespace vaultora::webserver {

// The file name a browser gives in the Content-Disposition of a form part (RFC 7578 section
// 4.2), whether the whole line or its value: the quoted filename parameter, cut to its last
// backslash-separated piece so that a full Windows path yields its last component. Empty when
// the part names no file.
[[nodiscard]] QString uploadFileNameFromLine(const QByteArray& contentDisposition);

// Whether a file of that name may be stored in the documents directory: it must stay inside
// it, must not replace the application's own files or take a name the listing hides, and
// must hold printable characters only.
[[nodiscard]] bool isAcceptableUploadFileName(const QString& fileName);

} // namespace vaultora::webserver
