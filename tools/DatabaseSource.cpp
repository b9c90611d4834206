#include "DatabaseSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
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

kdb::SecureBytes readKeyFile(const std::string& path) {
    constexpr std::size_t kLargestKeyFile = std::size_t{1} << 30;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        throw CliError(ExitStatus::Failure,
                       "cannot read the key file " + path + ": " + std::strerror(errno));
    }
    kdb::SecureBytes contents;
    std::array<unsigned char, 65536> buffer{};
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || contents.size() + static_cast<std::size_t>(got) > kLargestKeyFile) {
            const std::string reason = got < 0 ? std::strerror(errno) : "larger than 1 GiB";
            ::close(descriptor);
            kdb::secureWipe(buffer.data(), buffer.size());
            throw CliError(ExitStatus::Failure, "cannot read the key file " + path + ": " + reason);
        }
        if (got == 0) {
            break;
        }
        contents.insert(contents.end(), buffer.begin(), buffer.begin() + got);
    }
    ::close(descriptor);
    kdb::secureWipe(buffer.data(), buffer.size());
    return contents;
}

std::shared_ptr<kdb::DatabaseTree> openDatabase(std::unique_ptr<kdb::InputSource> source,
                                                const kdb::Credentials& credentials) {
    try {
        std::shared_ptr<kdb::DatabaseTree> tree = kdb::openDatabase(std::move(source), credentials);
        if (!tree || tree->getRoot() == nullptr) {
            throw CliError(ExitStatus::Failure, "the database has no root group (InvalidData)");
        }
        return tree;
    } catch (const kdb::DatabaseError& error) {
        throw CliError(error.name() == "Cancelled" ? ExitStatus::Interrupted : ExitStatus::Failure,
                       describeEngineError(error));
    }
}

std::string describeEngineError(const kdb::DatabaseError& error) {
    const std::string& name = error.name();
    std::string description;
    if (name == "DecryptError") {
        description = "wrong password, wrong key file or damaged file";
    } else if (name == "Cancelled") {
        description = "cancelled";
    } else if (name == "InvalidKeyFile") {
        description = "unusable key file";
    } else if (name == "ResourceLimit") {
        description = "the file asks for more memory than this machine can give";
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
