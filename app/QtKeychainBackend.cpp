#include "app/QtKeychainBackend.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace vaultora::app {

namespace {

// Wipes the buffer a QByteArray shares with its copies, so that the copy the job keeps is
// wiped too (a write through data() would detach and wipe only a fresh copy).
void wipeShared(const QByteArray& bytes) {
    kdb::secureWipe(const_cast<char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

std::int32_t statusOf(QKeychain::Error error) {
    switch (error) {
    case QKeychain::NoError:
        return KeychainStatus::success;
    case QKeychain::EntryNotFound:
        return KeychainStatus::itemNotFound;
    case QKeychain::AccessDeniedByUser:
        return KeychainStatus::userCanceled;
    case QKeychain::AccessDenied:
        return KeychainStatus::authFailed;
    case QKeychain::NoBackendAvailable:
        return KeychainStatus::notAvailable;
    case QKeychain::NotImplemented:
        return KeychainStatus::unimplemented;
    case QKeychain::CouldNotDeleteEntry:
    case QKeychain::OtherError:
        break;
    }
    return KeychainStatus::internalError;
}

// Runs a job to its end and returns its status.
std::int32_t run(QKeychain::Job& job) {
    if (QCoreApplication::instance() == nullptr) {
        return KeychainStatus::notAvailable;
    }
    job.setAutoDelete(false);
    // Without a protected store the job must fail rather than write the secret to a
    // settings file.
    job.setInsecureFallback(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&finished, &loop] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const std::int32_t status = statusOf(job.error());
    if (status != KeychainStatus::success && status != KeychainStatus::itemNotFound) {
        qWarning().noquote() << "Credential store:" << job.errorString();
    }
    return status;
}

} // namespace

std::int32_t QtKeychainBackend::findAttributes(const QString& account, const QString& service) {
    QKeychain::ReadPasswordJob job(service);
    job.setKey(account);
    return run(job);
}

std::int32_t QtKeychainBackend::findData(const QString& account, const QString& service,
                                         std::optional<kdb::SecureBytes>& data) {
    data.reset();
    QKeychain::ReadPasswordJob job(service);
    job.setKey(account);
    const std::int32_t status = run(job);
    if (status == KeychainStatus::success) {
        const QByteArray bytes = job.binaryData();
        data.emplace(bytes.begin(), bytes.end());
        wipeShared(bytes);
    }
    return status;
}

std::int32_t QtKeychainBackend::add(const QString& account, const QString& service,
                                    const QString& label, const kdb::SecureBytes& data) {
    // The store names its items itself; the label is the service name anyway.
    Q_UNUSED(label);
    const std::int32_t existing = findAttributes(account, service);
    if (existing == KeychainStatus::success) {
        return KeychainStatus::duplicateItem;
    }
    if (existing != KeychainStatus::itemNotFound) {
        return existing;
    }
    return write(account, service, data);
}

std::int32_t QtKeychainBackend::update(const QString& account, const QString& service,
                                       const QString& label, const kdb::SecureBytes& data) {
    Q_UNUSED(label);
    const std::int32_t existing = findAttributes(account, service);
    if (existing != KeychainStatus::success) {
        return existing;
    }
    return write(account, service, data);
}

std::int32_t QtKeychainBackend::remove(const QString& account, const QString& service) {
    const std::int32_t existing = findAttributes(account, service);
    if (existing != KeychainStatus::success) {
        return existing;
    }
    QKeychain::DeletePasswordJob job(service);
    job.setKey(account);
    return run(job);
}

std::int32_t QtKeychainBackend::write(const QString& account, const QString& service,
                                      const kdb::SecureBytes& data) {
    QKeychain::WritePasswordJob job(service);
    job.setKey(account);
    const QByteArray bytes(reinterpret_cast<const char*>(data.data()),
                           static_cast<qsizetype>(data.size()));
    job.setBinaryData(bytes);
    const std::int32_t status = run(job);
    wipeShared(bytes);
    return status;
}

} // namespace vaultora::app
