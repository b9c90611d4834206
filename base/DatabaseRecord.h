#pragma once

#include "kdb/SecureBytes.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <memory>
#include <vector>

namespace vaultora::base {

// One registered database: where its file comes from, the name of its local copy, the name
// shown to the user and whether its master password is kept in the password store.
// A null QString stands for a field its creator did not set.
class DatabaseRecord final {
public:
    // How the file reaches the device (syncType).
    enum SyncType : std::int32_t {
        SyncTypeHttpDownload = 1,
        SyncTypeWebServer = 3,
        SyncTypeDropbox = 4,
    };

    DatabaseRecord() = default;

    // The record of one entry of the legacy file list: a downloaded file and its address.
    [[nodiscard]] static std::shared_ptr<DatabaseRecord>
    createForLegacyFile(const QString& fileName, const QString& downloadUrl);
    // The bundled test database, registered on the first start.
    [[nodiscard]] static std::shared_ptr<DatabaseRecord> createTestDatabase();
    // The record the database list adds before the user fills in its details.
    [[nodiscard]] static std::shared_ptr<DatabaseRecord> createNewDatabase();

    [[nodiscard]] std::int32_t serverId() const { return m_serverId; }
    void setServerId(std::int32_t value) { m_serverId = value; }

    [[nodiscard]] const QString& serverUrl() const { return m_serverUrl; }
    void setServerUrl(QString value) { m_serverUrl = std::move(value); }

    [[nodiscard]] const QString& serverDisplayName() const { return m_serverDisplayName; }
    void setServerDisplayName(QString value) { m_serverDisplayName = std::move(value); }

    [[nodiscard]] const QString& databaseName() const { return m_databaseName; }
    void setDatabaseName(QString value) { m_databaseName = std::move(value); }

    // The master password as UTF-8, in a buffer that is wiped when it is released.
    [[nodiscard]] const kdb::SecureBytes& databasePassword() const { return m_databasePassword; }
    void setDatabasePassword(kdb::SecureBytes value) { m_databasePassword = std::move(value); }

    [[nodiscard]] std::int32_t saveDatabasePassword() const { return m_saveDatabasePassword; }
    void setSaveDatabasePassword(std::int32_t value) { m_saveDatabasePassword = value; }

    [[nodiscard]] std::int32_t isDefault() const { return m_isDefault; }
    void setIsDefault(std::int32_t value) { m_isDefault = value; }

    [[nodiscard]] std::int32_t databaseOpen() const { return m_databaseOpen; }
    void setDatabaseOpen(std::int32_t value) { m_databaseOpen = value; }

    [[nodiscard]] std::int32_t savePassword() const { return m_savePassword; }
    void setSavePassword(std::int32_t value) { m_savePassword = value; }

    [[nodiscard]] QVariantList& searchResultArray() { return m_searchResultArray; }
    [[nodiscard]] const QVariantList& searchResultArray() const { return m_searchResultArray; }
    void setSearchResultArray(QVariantList value) { m_searchResultArray = std::move(value); }

    [[nodiscard]] std::int32_t syncType() const { return m_syncType; }
    void setSyncType(std::int32_t value) { m_syncType = value; }

    [[nodiscard]] std::int32_t DBVersion() const { return m_version; }
    void setDBVersion(std::int32_t value) { m_version = value; }

    // The name of a key file in the documents directory that opens the database with (or,
    // see usesPassword, instead of) the master password; empty when none.
    [[nodiscard]] const QString& keyFileName() const { return m_keyFileName; }
    void setKeyFileName(QString value) { m_keyFileName = std::move(value); }

    // False for a database that opens with its key file alone: no password is asked for.
    [[nodiscard]] bool usesPassword() const { return m_usesPassword; }
    void setUsesPassword(bool value) { m_usesPassword = value; }

    // Invalid when the registry file carried no date for this record.
    [[nodiscard]] const QDateTime& lastFileDate() const { return m_lastFileDate; }
    void setLastFileDate(QDateTime value) { m_lastFileDate = std::move(value); }

private:
    std::int32_t m_serverId = 0;
    QString m_serverUrl;
    QString m_serverDisplayName;
    QString m_databaseName;
    kdb::SecureBytes m_databasePassword;
    std::int32_t m_saveDatabasePassword = 0;
    std::int32_t m_isDefault = 0;
    std::int32_t m_databaseOpen = 0;
    std::int32_t m_savePassword = 0;
    QVariantList m_searchResultArray;
    std::int32_t m_syncType = 0;
    std::int32_t m_version = 0;
    QDateTime m_lastFileDate;
    QString m_keyFileName;
    bool m_usesPassword = true;
};

// The registry: records are shared with the screens and synchronisers that work on them, so a
// record may outlive its removal from the list.
using ServerArray = std::vector<std::shared_ptr<DatabaseRecord>>;

} // namespace vaultora::base
