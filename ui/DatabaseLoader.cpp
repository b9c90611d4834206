#include "ui/DatabaseLoader.h"

#include "kdb/DatabaseError.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"

#include <QFile>

#include <exception>

namespace vaultora::ui {

namespace {

// The whole key file; key files are small, and one larger than 64 MiB is taken for a mistake.
std::optional<kdb::SecureBytes> readKeyFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    constexpr qint64 largestKeyFile = qint64{64} << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestKeyFile) {
        return std::nullopt;
    }
    kdb::SecureBytes contents(static_cast<std::size_t>(file.size()));
    const qint64 got = file.read(reinterpret_cast<char*>(contents.data()), file.size());
    if (got != file.size()) {
        return std::nullopt;
    }
    return contents;
}

} // namespace

DatabaseLoadOutcome DatabaseLoader::load(const std::string& path,
                                         const kdb::SecureBytes& password) {
    return load(DatabaseLoadRequest{path, password, {}, nullptr});
}

DatabaseLoadOutcome DatabaseLoader::load(const DatabaseLoadRequest& request) {
    DatabaseLoadOutcome outcome;
    try {
        kdb::Credentials credentials;
        credentials.passwordUtf8 = request.password;
        credentials.cancelFlag = request.cancelFlag.get();
        if (!request.keyFilePath.empty()) {
            credentials.keyFileContents = readKeyFile(request.keyFilePath);
            if (!credentials.keyFileContents) {
                outcome.errorName = "InvalidKeyFile";
                outcome.errorReason = "KeyFileUnreadable";
                return outcome;
            }
        }
        std::shared_ptr<kdb::DatabaseTree> tree =
            kdb::openDatabase(std::make_unique<kdb::MappedFileSource>(request.path), credentials);
        if (!tree || tree->getRoot() == nullptr) {
            outcome.errorName = "ParseError";
            outcome.errorReason = "The file holds no root group";
            return outcome;
        }
        outcome.tree = std::move(tree);
    } catch (const kdb::DatabaseError& failure) {
        outcome.errorName = failure.name();
        outcome.errorReason = failure.reason();
    } catch (const std::exception& failure) {
        // Anything else (memory exhausted, a library failure) is reported like an engine
        // failure of its own name rather than taking the application down.
        outcome.errorName = "AppError";
        outcome.errorReason = failure.what();
    }
    return outcome;
}

} // namespace vaultora::ui
