#include "DatabaseSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "CliError.h"
#include "HttpDatabaseSource.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"

namespace vaultora::cli {

std::unique_ptr<kdb::InputSource> loadDatabaseSource(const std::string& path) {
    if (isWebAddress(path)) {
        return loadDatabaseFromWeb(path);
    }
    // The file source gives an empty source for a file it cannot map; checking first lets
    // the user see why.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        throw CliError(ExitStatus::Failure, "cannot read " + path + ": " + std::strerror(errno));
    }
    struct stat status {};
    const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    ::close(descriptor);
    if (!regular) {
        throw CliError(ExitStatus::Failure, "cannot read " + path + ": not a regular file");
    }
    return std::make_unique<kdb::MappedFileSource>(path);
}

std::shared_ptr<kdb::DatabaseTree> openDatabase(std::unique_ptr<kdb::InputSource> source,
                                                const kdb::SecureBytes& passwordUtf8) {
    try {
        std::shared_ptr<kdb::DatabaseTree> tree =
            kdb::openDatabase(std::move(source), passwordUtf8);
        if (!tree || tree->getRoot() == nullptr) {
            throw CliError(ExitStatus::Failure, "the database has no root group (InvalidData)");
        }
        return tree;
    } catch (const kdb::DatabaseError& error) {
        throw CliError(ExitStatus::Failure, describeEngineError(error));
    }
}

std::string describeEngineError(const kdb::DatabaseError& error) {
    const std::string& name = error.name();
    std::string description;
    if (name == "DecryptError") {
        description = "wrong password or damaged file";
    } else if (name == "Unsupported") {
        description = "unsupported database";
    } else if (name == "InvalidHeader") {
        description = "damaged file header";
    } else if (name == "InvalidData" || name == "ParseError") {
        description = "damaged file";
    } else {
        description = "cannot open the database";
    }
    if (!error.reason().empty() && error.reason() != name) {
        description += ": " + error.reason();
    }
    return description + " (" + name + ")";
}

} // namespace vaultora::cli
