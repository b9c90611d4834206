#pragma once

#include "app/KeychainBackend.h"
#include "base/ErrorValue.h"

#include "kdb/SecureBytes.h"

#include <QString>

#include <memory>
#include <optional>

namespace vaultora::app {

// Saved master passwords: one generic-password item per account (a record's serverUrl) and
// service. A null QString or an absent password counts as a missing argument.
//
// Errors go to the optional error slot, in the domain "ZEZEKeychainUtilsErrorDomain": either
// one of the codes below or the store's status passed through unchanged.
class PasswordStore final {
public:
    static constexpr int missingArgumentCode = -2000;
    static constexpr int unreadableItemCode = -1999;
    static constexpr char errorDomain[] = "ZEZEKeychainUtilsErrorDomain";

    enum class UpdateExisting { No, Yes };

    PasswordStore() = delete;

    // The saved password, or nothing. A missing item is not an error.
    [[nodiscard]] static std::optional<kdb::SecureBytes>
    getPasswordForUsername(const QString& username, const QString& serviceName,
                           std::optional<base::ErrorValue>* error = nullptr);

    // Adds the item, or replaces its password when updateExisting allows it. An item whose
    // password cannot be read is deleted and added afresh.
    static bool storeUsername(const QString& username,
                              const std::optional<kdb::SecureBytes>& password,
                              const QString& serviceName, UpdateExisting updateExisting,
                              std::optional<base::ErrorValue>* error = nullptr);

    static bool deleteItemForUsername(const QString& username, const QString& serviceName,
                                      std::optional<base::ErrorValue>* error = nullptr);

    // Replaces the credential store behind the operations and returns the previous one;
    // by default the platform's store is used.
    static std::unique_ptr<KeychainBackend> setBackend(std::unique_ptr<KeychainBackend> backend);

private:
    static KeychainBackend& backend();
};

} // namespace vaultora::app
