#pragma once

#include "app/KeychainBackend.h"

namespace vaultora::app {

// The platform's credential store through QtKeychain (the Secret Service on Linux). Each
// operation waits for its job in a local event loop that leaves user input queued. Where no
// store is reachable every operation fails with notAvailable; nothing is ever kept in clear
// text instead.
class QtKeychainBackend final : public KeychainBackend {
public:
    [[nodiscard]] std::int32_t findAttributes(const QString& account,
                                              const QString& service) override;
    [[nodiscard]] std::int32_t findData(const QString& account, const QString& service,
                                        std::optional<kdb::SecureBytes>& data) override;
    [[nodiscard]] std::int32_t add(const QString& account, const QString& service,
                                   const QString& label, const kdb::SecureBytes& data) override;
    [[nodiscard]] std::int32_t update(const QString& account, const QString& service,
                                      const QString& label, const kdb::SecureBytes& data) override;
    [[nodiscard]] std::int32_t remove(const QString& account, const QString& service) override;

private:
    [[nodiscard]] static std::int32_t write(const QString& account, const QString& service,
                                            const kdb::SecureBytes& data);
};

} // namespace vaultora::app
