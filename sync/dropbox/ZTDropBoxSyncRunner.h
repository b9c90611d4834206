// Keeps every running Dropbox sync alive until its last callback and then releases it; the
// open flow and the settings start their syncs here.
#pragma once

#include "app/KeePassServerDetail.h"
#include "sync/DBScreenServices.h"
#include "sync/dropbox/ZTDropBoxSync.h"

#include <QObject>
#include <memory>

namespace vaultora::sync {

class DropBoxLoginFlow;

class ZTDropBoxSyncRunner final : public QObject {
    Q_OBJECT

public:
    ZTDropBoxSyncRunner(DBScreenServices services, ZTDropBoxSync::PathResolver pathResolver,
                        QObject* parent = nullptr);

    // Opening a database: sync, then the panel goes on with its login. `lifetime` is the
    // panel's object.
    ZTDropBoxSync* syncWithDropBox(const std::shared_ptr<KeePassServerDetail>& record,
                                   DropBoxLoginFlow& panel, QObject* lifetime);
    // Saving a Dropbox record: download the chosen file at once, whatever its date.
    ZTDropBoxSync* download(const std::shared_ptr<KeePassServerDetail>& record);

    [[nodiscard]] int runningCount() const;
    [[nodiscard]] const DBScreenServices& services() const { return m_services; }

private:
    ZTDropBoxSync* create(const std::shared_ptr<KeePassServerDetail>& record);

    DBScreenServices m_services;
    ZTDropBoxSync::PathResolver m_pathResolver;
};

} // namespace vaultora::sync
