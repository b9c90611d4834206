#include "FakeKeychainBackend.h"

#include "app/PasswordStore.h"

#include <gtest/gtest.h>

namespace {

const QString account = QStringLiteral("https://example.org/db.kdbx");
const QString service = QStringLiteral("Vaultora");

vaultora::kdb::SecureBytes bytes(std::string_view text) {
    return vaultora::kdb::secureBytesFromText(text);
}

std::string text(const std::optional<vaultora::kdb::SecureBytes>& value) {
    return value ? std::string(value->begin(), value->end()) : std::string("<absent>");
}

using Update = vaultora::app::PasswordStore::UpdateExisting;

class KeychainUtilsTest : public testing::Test {
protected:
    ScopedFakeKeychain keychain;
    FakeKeychainBackend& store = keychain.backend();
    std::optional<vaultora::base::ErrorValue> error =
        vaultora::base::ErrorValue{QStringLiteral("stale"), 1, {}};

    void addItem(std::string_view password) {
        store.items[{account, service}] =
            FakeKeychainBackend::Item{bytes(password), false, service};
    }
    [[nodiscard]] int errorCode() const { return error ? error->code : 0; }
};

TEST_F(KeychainUtilsTest, ReadRefusesMissingAccountOrService) {
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(QString(), service, &error));
    EXPECT_EQ(errorCode(), -2000);
    EXPECT_EQ(error->domain, QStringLiteral("ZEZEKeychainUtilsErrorDomain"));
    error.reset();
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, QString(), &error));
    EXPECT_EQ(errorCode(), -2000);
    EXPECT_TRUE(store.calls.empty());
    // An empty account is an account, not a missing one.
    EXPECT_FALSE(
        vaultora::app::PasswordStore::getPasswordForUsername(QStringLiteral(""), service, &error));
    EXPECT_FALSE(error.has_value());
}

TEST_F(KeychainUtilsTest, ReadOfMissingItemIsAbsentWithoutError) {
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_FALSE(error.has_value());
}

TEST_F(KeychainUtilsTest, ReadReturnsStoredPasswordAndClearsError) {
    addItem("s\xC3\xA9same");
    EXPECT_EQ(text(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error)),
              "s\xC3\xA9same");
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(store.calls, (std::vector<std::string>{"findAttributes", "findData"}));
}

TEST_F(KeychainUtilsTest, ReadPassesStoreStatusesThrough) {
    store.findAttributesStatus = -25291;
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_EQ(errorCode(), -25291);

    addItem("secret");
    store.findAttributesStatus.reset();
    store.findDataStatus = -25293;
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_EQ(errorCode(), -25293);
}

TEST_F(KeychainUtilsTest, ReadOfItemWithUnreadableDataReports1999) {
    store.items[{account, service}] = FakeKeychainBackend::Item{bytes("x"), true, service};
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_EQ(errorCode(), -1999);

    store.items[{account, service}] = FakeKeychainBackend::Item{std::nullopt, false, service};
    error.reset();
    EXPECT_FALSE(vaultora::app::PasswordStore::getPasswordForUsername(account, service, &error));
    EXPECT_EQ(errorCode(), -1999);
}

TEST_F(KeychainUtilsTest, StoreRefusesMissingArguments) {
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(QString(), bytes("p"), service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -2000);
    error.reset();
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, std::nullopt, service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -2000);
    error.reset();
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, bytes("p"), QString(),
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -2000);
    EXPECT_TRUE(store.calls.empty());
}

TEST_F(KeychainUtilsTest, StoreAddsNewItemLabelledWithService) {
    EXPECT_TRUE(vaultora::app::PasswordStore::storeUsername(account, bytes("first"), service,
                                                            Update::Yes, &error));
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(store.password(account, service), "first");
    EXPECT_EQ((store.items[{account, service}].label), service);
    // An empty password is a password.
    const QString other = QStringLiteral("other.kdb");
    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(other, bytes(""), service, Update::Yes));
    EXPECT_EQ(store.password(other, service), "");
}

TEST_F(KeychainUtilsTest, StoreReplacesOnlyWhenAllowedAndDifferent) {
    addItem("old");
    store.calls.clear();
    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(account, bytes("new"), service, Update::No));
    EXPECT_EQ(store.password(account, service), "old");
    EXPECT_EQ(std::count(store.calls.begin(), store.calls.end(), "update"), 0);

    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(account, bytes("old"), service, Update::Yes));
    EXPECT_EQ(std::count(store.calls.begin(), store.calls.end(), "update"), 0);

    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(account, bytes("new"), service, Update::Yes));
    EXPECT_EQ(store.password(account, service), "new");
    EXPECT_EQ(std::count(store.calls.begin(), store.calls.end(), "update"), 1);
}

TEST_F(KeychainUtilsTest, StoreOverUnreadableItemDeletesItThenAdds) {
    store.items[{account, service}] = FakeKeychainBackend::Item{bytes("lost"), true, service};
    EXPECT_TRUE(vaultora::app::PasswordStore::storeUsername(account, bytes("fresh"), service,
                                                            Update::No, &error));
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(store.password(account, service), "fresh");
    EXPECT_EQ(store.calls,
              (std::vector<std::string>{"findAttributes", "findData", "remove", "add"}));
}

TEST_F(KeychainUtilsTest, StoreFailsWithTheFailingStatus) {
    store.items[{account, service}] = FakeKeychainBackend::Item{bytes("lost"), true, service};
    store.removeStatus = -25244;
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, bytes("p"), service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -25244);

    store.items.clear();
    store.removeStatus.reset();
    store.findAttributesStatus = -25291;
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, bytes("p"), service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -25291);

    store.findAttributesStatus.reset();
    store.addStatus = -25299;
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, bytes("p"), service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -25299);

    store.addStatus.reset();
    addItem("old");
    store.updateStatus = -61;
    EXPECT_FALSE(vaultora::app::PasswordStore::storeUsername(account, bytes("p"), service,
                                                             Update::Yes, &error));
    EXPECT_EQ(errorCode(), -61);
    EXPECT_EQ(store.password(account, service), "old");
}

TEST_F(KeychainUtilsTest, DeleteRemovesItemAndReportsFailures) {
    EXPECT_FALSE(vaultora::app::PasswordStore::deleteItemForUsername(account, QString(), &error));
    EXPECT_EQ(errorCode(), -2000);

    addItem("p");
    EXPECT_TRUE(vaultora::app::PasswordStore::deleteItemForUsername(account, service, &error));
    EXPECT_FALSE(error.has_value());
    EXPECT_TRUE(store.items.empty());

    EXPECT_FALSE(vaultora::app::PasswordStore::deleteItemForUsername(account, service, &error));
    EXPECT_EQ(errorCode(), -25300);
    // Without an error slot a failure is still a failure.
    EXPECT_FALSE(vaultora::app::PasswordStore::deleteItemForUsername(account, service));
}

TEST_F(KeychainUtilsTest, RecordsWithTheSameAccountShareOneItem) {
    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(account, bytes("one"), service, Update::Yes));
    EXPECT_TRUE(
        vaultora::app::PasswordStore::storeUsername(account, bytes("two"), service, Update::Yes));
    EXPECT_EQ(store.items.size(), 1u);
    EXPECT_EQ(text(vaultora::app::PasswordStore::getPasswordForUsername(account, service)), "two");
}

} // namespace
