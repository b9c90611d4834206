#include "app/RegistryCodec.h"

#include <cstdlib>

namespace vaultora::app {

namespace {

constexpr std::int64_t registryFileVersion = 6;

std::int32_t toInt32(std::int64_t value) {
    // Numbers are read as the 32-bit integers they were written as; larger ones keep their
    // low bits, as a narrowing integer conversion would.
    return static_cast<std::int32_t>(value);
}

PropertyList encodeRecord(const base::DatabaseRecord& record) {
    using namespace PropertyListValue;
    PropertyList dictionary(plist_new_dict());
    plist_dict_set_item(dictionary.get(), "DatabaseName", newString(record.databaseName()));
    plist_dict_set_item(dictionary.get(), "ServerDisplayName",
                        newString(record.serverDisplayName()));
    plist_dict_set_item(dictionary.get(), "ServerUrl", newString(record.serverUrl()));
    plist_dict_set_item(dictionary.get(), "DBSyncType", newInteger(record.syncType()));
    plist_dict_set_item(dictionary.get(), "savePassword",
                        newInteger(record.savePassword() != 0 ? 1 : 0));
    plist_dict_set_item(dictionary.get(), "defaultDatabase",
                        newInteger(record.isDefault() != 0 ? 1 : 0));
    // Written only when set, so that records without a key file are stored as before; older
    // builds read records by key and pass over these.
    if (!record.keyFileName().isEmpty()) {
        plist_dict_set_item(dictionary.get(), "KeyFileName", newString(record.keyFileName()));
        if (!record.usesPassword()) {
            plist_dict_set_item(dictionary.get(), "NoPassword", newInteger(1));
        }
    }
    return dictionary;
}

std::shared_ptr<base::DatabaseRecord> decodeRecord(plist_t dictionary) {
    using namespace PropertyListValue;
    auto record = std::make_shared<base::DatabaseRecord>();
    if (auto value = string(dictionary, "DatabaseName")) {
        record->setDatabaseName(std::move(*value));
    }
    if (auto value = string(dictionary, "ServerDisplayName")) {
        record->setServerDisplayName(std::move(*value));
    }
    if (auto value = string(dictionary, "ServerUrl")) {
        record->setServerUrl(std::move(*value));
    }
    if (record->serverDisplayName().isEmpty()) {
        record->setServerDisplayName(record->databaseName());
    }
    // A password an older version kept in the file ("DatabasePassword") is not taken over:
    // saved passwords live in the password store only.
    record->setDatabasePassword({});
    record->setSyncType(toInt32(integer(dictionary, "DBSyncType").value_or(0)));
    record->setSavePassword(toInt32(integer(dictionary, "savePassword").value_or(0)));
    if (auto value = date(dictionary, "lastFileDate")) {
        record->setLastFileDate(std::move(*value));
    }
    if (auto value = string(dictionary, "KeyFileName")) {
        record->setKeyFileName(std::move(*value));
    }
    // A record without a key file always asks for a password.
    record->setUsesPassword(record->keyFileName().isEmpty() ||
                            integer(dictionary, "NoPassword").value_or(0) == 0);
    return record;
}

} // namespace

namespace RegistryCodec {

PropertyList encode(const base::ServerArray& servers, const AppSettings& settings) {
    using namespace PropertyListValue;
    PropertyList databases(plist_new_dict());
    for (std::size_t index = 0; index < servers.size(); ++index) {
        const QByteArray key = QByteArray("Database ") + QByteArray::number(index);
        plist_dict_set_item(databases.get(), key.constData(),
                            encodeRecord(*servers[index]).release());
    }

    PropertyList root(plist_new_dict());
    plist_dict_set_item(root.get(), "InternalVersion", newInteger(registryFileVersion));
    plist_dict_set_item(root.get(), "Databases", databases.release());
    plist_dict_set_item(root.get(), "AutoLogout", plist_new_bool(settings.bAutoLogout()));
    plist_dict_set_item(root.get(), "ShowPasswordDefault",
                        plist_new_bool(settings.bShowPasswordDefault()));
    plist_dict_set_item(root.get(), "AutoLogoutTimer", newInteger(settings.iAutoLogoutTimer()));
    plist_dict_set_item(root.get(), "ShowFullScreen", plist_new_bool(settings.bShowFullScreen()));
    plist_dict_set_item(root.get(), "ClipboardClearSeconds",
                        newInteger(settings.iClipboardClearSeconds()));
    return root;
}

void decode(plist_t root, base::ServerArray& servers, AppSettings& settings) {
    using namespace PropertyListValue;
    plist_t databases = plist_dict_get_item(root, "Databases");
    if (databases != nullptr && plist_get_node_type(databases) == PLIST_DICT) {
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(databases, &iterator);
        while (iterator != nullptr) {
            // The keys ("Database 0", ...) are not read: records come in the file's order.
            plist_t value = nullptr;
            plist_dict_next_item(databases, iterator, nullptr, &value);
            if (value == nullptr) {
                break;
            }
            if (plist_get_node_type(value) == PLIST_DICT) {
                servers.push_back(decodeRecord(value));
            }
        }
        std::free(iterator); // NOLINT: libplist allocates iterators with malloc
    }

    if (auto value = boolean(root, "AutoLogout")) {
        settings.setBAutoLogout(*value);
    }
    if (auto value = boolean(root, "ShowPasswordDefault")) {
        settings.setBShowPasswordDefault(*value);
    }
    if (auto value = integer(root, "AutoLogoutTimer")) {
        settings.setIAutoLogoutTimer(toInt32(*value));
    }
    if (auto value = boolean(root, "ShowFullScreen")) {
        settings.setBShowFullScreen(*value);
    }
    if (auto value = integer(root, "ClipboardClearSeconds")) {
        settings.setIClipboardClearSeconds(toInt32(*value));
    }
}

base::ServerArray decodeLegacyFileList(plist_t root) {
    base::ServerArray servers;
    if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
        return servers;
    }
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root, &iterator);
    while (iterator != nullptr) {
        plist_t value = nullptr;
        plist_dict_next_item(root, iterator, nullptr, &value);
        if (value == nullptr) {
            break;
        }
        // A file name with a NUL in it names no file that can be stored.
        const std::optional<QString> fileName =
            PropertyListValue::keyText(plist_dict_item_get_key(value));
        if (!fileName) {
            continue;
        }
        const QString url = PropertyListValue::text(value).value_or(QStringLiteral(""));
        servers.push_back(base::DatabaseRecord::createForLegacyFile(*fileName, url));
    }
    std::free(iterator); // NOLINT: libplist allocates iterators with malloc
    return servers;
}

bool isNonEmptyDictionary(plist_t node) {
    return node != nullptr && plist_get_node_type(node) == PLIST_DICT &&
           plist_dict_get_size(node) > 0;
}

} // namespace RegistryCodec

} // namespace vaultora::app
