#include "webserver/DocumentNames.h"

#include <QStringList>

namespace vaultora::webserver {

QString uploadTemporaryPrefix() {
    return QStringLiteral(".vaultora-upload-");
}

bool isReservedDocumentName(const QString& name) {
    static const QStringList reservedNames = {
        QStringLiteral("Vaultora.plist"), QStringLiteral("VaultoraDatabaseFiles.plist"),
        QStringLiteral(".kdb"), QStringLiteral(".kdbx"), QStringLiteral(".DS_Store")};
    static const QStringList reservedPrefixes = {
        QStringLiteral("Vaultora.plist.unreadable-"),
        QStringLiteral("VaultoraDatabaseFiles.plist.unreadable-"), uploadTemporaryPrefix()};
    if (reservedNames.contains(name, Qt::CaseInsensitive)) {
        return true;
    }
    for (const QString& prefix : reservedPrefixes) {
        if (name.startsWith(prefix, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

} // namespace vaultora::webserver
