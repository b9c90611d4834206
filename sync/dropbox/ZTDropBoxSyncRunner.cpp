#include "sync/dropbox/ZTDropBoxSyncRunner.h"

namespace vaultora::sync {

ZTDropBoxSyncRunner::ZTDropBoxSyncRunner(DBScreenServices services,
                                         ZTDropBoxSync::PathResolver pathResolver, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_pathResolver(std::move(pathResolver)) {}

ZTDropBoxSync* ZTDropBoxSyncRunner::create(const std::shared_ptr<KeePassServerDetail>& record) {
    auto* sync = new ZTDropBoxSync(record, m_services, m_pathResolver, this);
    connect(sync, &ZTDropBoxSync::finished, sync, &QObject::deleteLater);
    return sync;
}

ZTDropBoxSync*
ZTDropBoxSyncRunner::syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                                     DropBoxLoginFlow& panel, QObject* lifetime) {
    ZTDropBoxSync* sync = create(record);
    sync->setDatabaseViewController(&panel, lifetime);
    sync->syncWithDropBox();
    return sync;
}

ZTDropBoxSync* ZTDropBoxSyncRunner::download(const std::shared_ptr<KeePassServerDetail>& record) {
    ZTDropBoxSync* sync = create(record);
    sync->downloadFileByName(record->serverUrl(), record->databaseName());
    return sync;
}

int ZTDropBoxSyncRunner::runningCount() const {
    return static_cast<int>(findChildren<ZTDropBoxSync*>(Qt::FindDirectChildrenOnly).size());
}

} // namespace vaultora::sync
