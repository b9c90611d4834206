#include "app/PasswordStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QUuid>

#include <gtest/gtest.h>

#include <iostream>

namespace {

using Update = vaultora::app::PasswordStore::UpdateExisting;

std::string text(const std::optional<vaultora::kdb::SecureBytes>& value) {
    return value ? std::string(value->begin(), value->end()) : std::string("<absent>");
}

// Runs against the Secret Service of the session bus (scripts/test starts a throwaway
// gnome-keyring); the default store of the password store is used.
class SecretServiceTest : public testing::Test {
protected:
    void SetUp() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            std::cout << "No D-Bus session bus: run the tests through scripts/test\n";
            GTEST_SKIP() << "no D-Bus session bus";
        }
        if (!bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets"))) {
            std::cout << "No Secret Service on the session bus: run the tests through "
                         "scripts/test\n";
            GTEST_SKIP() << "no Secret Service on the session bus";
        }
        vaultora::app::PasswordStore::setBackend(nullptr);
    }

    void TearDown() override {
        vaultora::app::PasswordStore::deleteItemForUsername(account, service);
    }

    const QString account =
        QStringLiteral("https://example.com/") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString service = QStringLiteral("Vaultora");
    std::optional<vaultora::base::ErrorValue> error;
};

TEST_F(SecretServiceTest, StoresReadsReplacesAndDeletes) {
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_FALSE(error.has_value()) << error->code;

    const std::string first = "tulip fox \xE2\x9C\x93";
    ASSERT_TRUE(vaultora::app::PasswordStore::storeUsername(
        account, vaultora::kdb::secureBytesFromText(first), service, Update::Yes, &error))
        << (error ? error->code : 0);
    EXPECT_EQ(text(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error)),
              first);

    EXPECT_TRUE(vaultora::app::PasswordStore::storeUsername(
        account, vaultora::kdb::secureBytesFromText("kept?"), service, Update::No, &error));
    EXPECT_EQ(text(vaultora::app::PasswordStore::getPasswordForUsername(account, service)), first);

    EXPECT_TRUE(vaultora::app::PasswordStore::storeUsername(
        account, vaultora::kdb::secureBytesFromText("second"), service, Update::Yes, &error));
    EXPECT_EQ(text(vaultora::app::PasswordStore::getPasswordForUsername(account, service)),
              "second");

    // Another service is another item.
    EXPECT_FALSE(
        vaultora::app::PasswordStore::getPasswordForUsername(account, QStringLiteral("Other")));

    EXPECT_TRUE(vaultora::app::PasswordStore::deleteItemForUsername(account, service, &error));
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_FALSE(error.has_value());

    EXPECT_FALSE(vaultora::app::PasswordStore::deleteItemForUsername(account, service, &error));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, -25300);
}

} // namespace
