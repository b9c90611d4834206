#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vaultora::webserver::testing {

// Reads a byte stream as a connection of the upload server reads its socket: header lines
// cut at CR LF within the line limit, the framing the header announces, then the body handed
// to an upload form in the pieces it arrives in, request after request until the stream ends
// or the connection would close. The first four bytes of the input seed the sizes of those
// pieces; the rest is the stream.
//
// Along the way it checks what must hold whatever the bytes: the header's fields hold no line
// breaks, an absolute-form target yields a path, byte ranges stay inside the representation,
// a multipart body yields the same parts however it is cut, and an upload leaves the
// documents directory (which must start empty) holding exactly the file it reports stored,
// with the bytes of that part, or nothing. The sentences of the checks that failed are
// returned; the directory is emptied again.
[[nodiscard]] QStringList checkRequestStream(const QByteArray& input, const QString& documentRoot);

} // namespace vaultora::webserver::testing
