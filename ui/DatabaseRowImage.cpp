#include "ui/DatabaseRowImage.h"

namespace vaultora::ui {

QString databaseRowImage(const base::DatabaseRecord& record) {
    switch (record.syncType()) {
    case base::DatabaseRecord::SyncTypeHttpDownload:
        return QStringLiteral("44-shoebox-download");
    case base::DatabaseRecord::SyncTypeDropbox:
        return QStringLiteral("44-shoebox-dropbox");
    case base::DatabaseRecord::SyncTypeWebServer:
        return QStringLiteral("44-shoebox-upload");
    default:
        // A registry written by another version may hold a source this one does not know.
        return QStringLiteral("44-shoebox");
    }
}

} // namespace vaultora::ui
