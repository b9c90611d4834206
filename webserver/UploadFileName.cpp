#include "webserver/UploadFileName.h"

#include "webserver/DocumentNames.h"

#include <QStringList>
#include <algorithm>

namespace vaultora::webserver {

QString uploadFileNameFromLine(const QByteArray& contentDisposition) {
    const QString line = QString::fromUtf8(contentDisposition);
    const QString marker = QStringLiteral("; filename=");
    // A part without a file name (an ordinary form field) names no file, even though its
    // line carries quoted text.
    if (!line.contains(marker)) {
        return {};
    }
    const QString afterMarker = line.split(marker).last();
    const QStringList quoted = afterMarker.split(QLatin1Char('"'));
    if (quoted.size() < 2) {
        return {};
    }
    return quoted.at(1).split(QLatin1Char('\\')).last();
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
