#include "sync/dropbox/DropboxSyncRunner.h"

namespace vaultora::sync {

DropboxSyncRunner::DropboxSyncRunner(DropboxSyncServices services,
                                     DropboxSync::PathResolver pathResolver, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_pathResolver(std::move(pathResolver)) {}

DropboxSync* DropboxSyncRunner::create(const std::shared_ptr<base::DatabaseRecord>& record) {
    auto* sync = new DropboxSync(record, m_services, m_pathResolver, this);
    connect(sync, &DropboxSync::finished, sync, &QObject::deleteLater);
    return sync;
}

DropboxSync* DropboxSyncRunner::syncWithDropbox(const std::shared_ptr<base::DatabaseRecord>& record,
                                                DropboxLoginFlow& panel, QObject* lifetime) {
    DropboxSync* sync = create(record);
    sync->setLoginFlow(&panel, lifetime);
    sync->syncWithDropbox();
    return sync;
}

DropboxSync* DropboxSyncRunner::download(const std::shared_ptr<base::DatabaseRecord>& record) {
    DropboxSync* sync = create(record);
    sync->downloadFileByName(record->serverUrl(), record->databaseName());
    return sync;
}

int DropboxSyncRunner::runningCount() const {
    return static_cast<int>(findChildren<DropboxSync*>(Qt::FindDirectChildrenOnly).size());
}

} // namespace vaultora::sync
