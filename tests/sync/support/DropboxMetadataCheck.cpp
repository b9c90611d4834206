#include "support/DropboxMetadataCheck.h"

#include "sync/dropbox/DropboxMetadata.h"

#include <QJsonDocument>

namespace vaultora::sync::testing {

QStringList checkDropboxMetadata(const QByteArray& bytes) {
    QStringList problems;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) {
        return problems;
    }
    const DropboxMetadata metadata(document.object());
    if (DropboxMetadata::fromArchive(metadata.archive()) != metadata) {
        problems.append(QStringLiteral("the archived metadata reads back otherwise"));
    }
    if (metadata.filename().contains(QLatin1Char('/'))) {
        problems.append(
            QStringLiteral("the file name \"%1\" holds a slash").arg(metadata.filename()));
    }
    return problems;
}

} // namespace vaultora::sync::testing
