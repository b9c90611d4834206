#pragma once

#include "kdb/SecureBytes.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vaultora::app {

// The protected credential store under the password store: generic-password items found,
// added, updated and deleted by account and service. Every operation returns a status,
// 0 for success; the codes are those of KeychainStatus.
class KeychainBackend {
public:
    virtual ~KeychainBackend() = default;

    // Whether an item exists (the query that asks for the item's attributes).
    [[nodiscard]] virtual std::int32_t findAttributes(const QString& account,
                                                      const QString& service) = 0;
    // The item's secret data; data stays empty when the item has none.
    [[nodiscard]] virtual std::int32_t findData(const QString& account, const QString& service,
                                                std::optional<kdb::SecureBytes>& data) = 0;
    // Fails with duplicateItem when the item exists.
    [[nodiscard]] virtual std::int32_t add(const QString& account, const QString& service,
                                           const QString& label, const kdb::SecureBytes& data) = 0;
    // Replaces the secret data; fails with itemNotFound when there is no item.
    [[nodiscard]] virtual std::int32_t update(const QString& account, const QString& service,
                                              const QString& label,
                                              const kdb::SecureBytes& data) = 0;
    [[nodiscard]] virtual std::int32_t remove(const QString& account, const QString& service) = 0;
};

// Status codes of the credential store, numbered as the keychain numbers them.
namespace KeychainStatus {
inline constexpr std::int32_t success = 0;
inline constexpr std::int32_t unimplemented = -4;
inline constexpr std::int32_t userCanceled = -128;
inline constexpr std::int32_t notAvailable = -25291;
inline constexpr std::int32_t authFailed = -25293;
inline constexpr std::int32_t duplicateItem = -25299;
inline constexpr std::int32_t itemNotFound = -25300;
inline constexpr std::int32_t internalError = -26276;
} // namespace KeychainStatus

} // namespace vaultora::app
