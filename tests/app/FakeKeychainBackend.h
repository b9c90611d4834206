#pragma once

#include "app/KeychainBackend.h"

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// An in-memory credential store with the keychain's status rules, whose items can be marked
// unreadable and whose operations can be made to fail.
class FakeKeychainBackend final : public vaultora::app::KeychainBackend {
public:
    struct Item {
        std::optional<vaultora::kdb::SecureBytes> data; // nullopt: the item has no data
        bool dataUnreadable = false;                    // the data query finds nothing
        QString label;
    };
    using Key = std::pair<QString, QString>; // account, service

    std::int32_t findAttributes(const QString& account, const QString& service) override {
        calls.push_back("findAttributes");
        if (findAttributesStatus) {
            return *findAttributesStatus;
        }
        return items.contains({account, service}) ? vaultora::app::KeychainStatus::success
                                                  : vaultora::app::KeychainStatus::itemNotFound;
    }

    std::int32_t findData(const QString& account, const QString& service,
                          std::optional<vaultora::kdb::SecureBytes>& data) override {
        calls.push_back("findData");
        data.reset();
        if (findDataStatus) {
            return *findDataStatus;
        }
        const auto found = items.find({account, service});
        if (found == items.end() || found->second.dataUnreadable) {
            return vaultora::app::KeychainStatus::itemNotFound;
        }
        data = found->second.data;
        return vaultora::app::KeychainStatus::success;
    }

    std::int32_t add(const QString& account, const QString& service, const QString& label,
                     const vaultora::kdb::SecureBytes& data) override {
        calls.push_back("add");
        if (addStatus) {
            return *addStatus;
        }
        if (items.contains({account, service})) {
            return vaultora::app::KeychainStatus::duplicateItem;
        }
        items[{account, service}] = Item{data, false, label};
        return vaultora::app::KeychainStatus::success;
    }

    std::int32_t update(const QString& account, const QString& service, const QString& label,
                        const vaultora::kdb::SecureBytes& data) override {
        calls.push_back("update");
        if (updateStatus) {
            return *updateStatus;
        }
        const auto found = items.find({account, service});
        if (found == items.end()) {
            return vaultora::app::KeychainStatus::itemNotFound;
        }
        found->second = Item{data, false, label};
        return vaultora::app::KeychainStatus::success;
    }

    std::int32_t remove(const QString& account, const QString& service) override {
        calls.push_back("remove");
        if (removeStatus) {
            return *removeStatus;
        }
        return items.erase({account, service}) > 0 ? vaultora::app::KeychainStatus::success
                                                   : vaultora::app::KeychainStatus::itemNotFound;
    }

    [[nodiscard]] std::optional<std::string> password(const QString& account,
                                                      const QString& service) const {
        const auto found = items.find({account, service});
        if (found == items.end() || !found->second.data) {
            return std::nullopt;
        }
        return std::string(found->second.data->begin(), found->second.data->end());
    }

    std::map<Key, Item> items;
    std::vector<std::string> calls;
    std::optional<std::int32_t> findAttributesStatus;
    std::optional<std::int32_t> findDataStatus;
    std::optional<std::int32_t> addStatus;
    std::optional<std::int32_t> updateStatus;
    std::optional<std::int32_t> removeStatus;
};

// Installs a fake store for the lifetime of a test and puts the previous one back.
class ScopedFakeKeychain {
public:
    ScopedFakeKeychain();
    ~ScopedFakeKeychain();
    ScopedFakeKeychain(const ScopedFakeKeychain&) = delete;
    ScopedFakeKeychain& operator=(const ScopedFakeKeychain&) = delete;

    FakeKeychainBackend& backend() { return *m_backend; }

private:
    FakeKeychainBackend* m_backend;
    std::unique_ptr<vaultora::app::KeychainBackend> m_previous;
};
