#include "DatabaseOpener.h"

#include "FormatDetector.h"

namespace vaultora::kdb {

std::shared_ptr<DatabaseTree> openDatabase(std::unique_ptr<InputSource> source,
                                           const SecureBytes& passwordUtf8) {
    return openDatabase(std::move(source), Credentials::withPassword(passwordUtf8));
}

std::shared_ptr<DatabaseTree> openDatabase(std::unique_ptr<InputSource> source,
                                           const Credentials& credentials) {
    const std::unique_ptr<DatabaseReader> reader = FormatDetector::readerFor(*source);
    return reader->load(std::move(source), credentials);
}

} // namespace vaultora::kdb
