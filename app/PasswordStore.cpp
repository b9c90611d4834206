#include "app/PasswordStore.h"

#include "app/QtKeychainBackend.h"

#include <QDebug>

namespace vaultora::app {

namespace {

std::unique_ptr<KeychainBackend>& installedBackend() {
    static std::unique_ptr<KeychainBackend> backend;
    return backend;
}

void report(std::optional<base::ErrorValue>* error, int code) {
    if (error != nullptr) {
        *error = base::ErrorValue{QString::fromLatin1(PasswordStore::errorDomain), code, {}};
    }
}

// Callers mostly ignore failures of the store, so they are logged where they arise. The
// account is left out: a download address may carry credentials.
void log(const char* operation, std::int32_t status) {
    qWarning().noquote() << "Password store:" << operation << "failed with status" << status;
}

void clear(std::optional<base::ErrorValue>* error) {
    if (error != nullptr) {
        error->reset();
    }
}

} // namespace

KeychainBackend& PasswordStore::backend() {
    std::unique_ptr<KeychainBackend>& backend = installedBackend();
    if (!backend) {
        backend = std::make_unique<QtKeychainBackend>();
    }
    return *backend;
}

std::unique_ptr<KeychainBackend>
PasswordStore::setBackend(std::unique_ptr<KeychainBackend> backend) {
    std::unique_ptr<KeychainBackend> previous = std::move(installedBackend());
    installedBackend() = std::move(backend);
    return previous;
}

std::optional<kdb::SecureBytes>
PasswordStore::getPasswordForUsername(const QString& username, const QString& serviceName,
                                      std::optional<base::ErrorValue>* error) {
    if (username.isNull() || serviceName.isNull()) {
        report(error, missingArgumentCode);
        return std::nullopt;
    }
    clear(error);

    std::int32_t status = backend().findAttributes(username, serviceName);
    if (status == KeychainStatus::itemNotFound) {
        return std::nullopt;
    }
    if (status != KeychainStatus::success) {
        log("reading", status);
        report(error, status);
        return std::nullopt;
    }

    std::optional<kdb::SecureBytes> data;
    status = backend().findData(username, serviceName, data);
    if (status == KeychainStatus::itemNotFound) {
        // It was there a moment ago, so its data is what cannot be read.
        log("reading", unreadableItemCode);
        report(error, unreadableItemCode);
        return std::nullopt;
    }
    if (status != KeychainStatus::success) {
        log("reading", status);
        report(error, status);
        return std::nullopt;
    }
    if (!data) {
        log("reading", unreadableItemCode);
        report(error, unreadableItemCode);
        return std::nullopt;
    }
    return data;
}

bool PasswordStore::storeUsername(const QString& username,
                                  const std::optional<kdb::SecureBytes>& password,
                                  const QString& serviceName, UpdateExisting updateExisting,
                                  std::optional<base::ErrorValue>* error) {
    if (username.isNull() || !password || serviceName.isNull()) {
        report(error, missingArgumentCode);
        return false;
    }

    std::optional<base::ErrorValue> readError;
    const std::optional<kdb::SecureBytes> current =
        getPasswordForUsername(username, serviceName, &readError);
    if (readError && readError->code == unreadableItemCode) {
        readError.reset();
        deleteItemForUsername(username, serviceName, &readError);
    }
    if (readError && readError->code != 0) {
        log("storing", readError->code);
        if (error != nullptr) {
            *error = std::move(readError);
        }
        return false;
    }

    std::int32_t status = KeychainStatus::success;
    if (current) {
        if (*current == *password || updateExisting == UpdateExisting::No) {
            clear(error);
            return true;
        }
        status = backend().update(username, serviceName, serviceName, *password);
    } else {
        status = backend().add(username, serviceName, serviceName, *password);
    }
    if (status != KeychainStatus::success) {
        log("storing", status);
        report(error, status);
        return false;
    }
    clear(error);
    return true;
}

bool PasswordStore::deleteItemForUsername(const QString& username, const QString& serviceName,
                                          std::optional<base::ErrorValue>* error) {
    if (username.isNull() || serviceName.isNull()) {
        report(error, missingArgumentCode);
        return false;
    }
    clear(error);

    const std::int32_t status = backend().remove(username, serviceName);
    if (status != KeychainStatus::success) {
        // Failure is reported to every caller, also to those without an error slot.
        log("deleting", status);
        report(error, status);
        return false;
    }
    return true;
}

} // namespace vaultora::app
