#include "webserver/UploadFileName.h"

#include "webserver/DocumentNames.h"

#include <QStringList>
#include <algorithm>

namespace vaultora::webserver {

namespace {

// The parameters of a header value, split at semicolons outside quoted strings.
QList<QByteArray> parameters(const QByteArray& value) {
    QList<QByteArray> pieces;
    QByteArray piece;
    bool quoted = false;
    for (const char character : value) {
        if (character == '"') {
            quoted = !quoted;
        } else if (character == ';' && !quoted) {
            pieces.append(piece.trimmed());
            piece.clear();
            continue;
        }
        piece += character;
    }
    pieces.append(piece.trimmed());
    return pieces;
}

} // namespace

QString uploadFileNameFromLine(const QByteArray& contentDisposition) {
    const QList<QByteArray> pieces = parameters(contentDisposition);
    // The first piece is the disposition type; an ordinary form field has no file name
    // parameter and names no file.
    for (qsizetype index = 1; index < pieces.size(); ++index) {
        const QByteArray& parameter = pieces.at(index);
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 ||
            parameter.left(equals).trimmed().compare("filename", Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QByteArray value = parameter.mid(equals + 1).trimmed();
        // Browsers always quote the name and escape quotes and line breaks in it by percent
        // encoding, not by backslashes, so a backslash is a Windows path separator.
        if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"')) {
            return {};
        }
        return QString::fromUtf8(value.mid(1, value.size() - 2)).split(QLatin1Char('\\')).last();
    }
    return {};
}

bool isAcceptableUploadFileName(const QString& fileName) {
    if (fileName.isEmpty() || fileName == QLatin1String(".")) {
        return false;
    }
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')) ||
        fileName.contains(QLatin1String(".."))) {
        return false;
    }
    // Line breaks, terminal escapes and direction overrides in a name would forge lines in
    // logs and listings, or make the name read as another.
    const QList<uint> characters = fileName.toUcs4();
    if (!std::all_of(characters.begin(), characters.end(),
                     [](uint character) { return QChar::isPrint(character); })) {
        return false;
    }
    return !isReservedDocumentName(fileName);
}

} // namespace vaultora::webserver
