#include "DatabaseOpener.h"

#include "FormatDetector.h"

namespace vaultora::kdb {

std::shared_ptr<DatabaseTree> openDatabase(std::unique_ptr<InputSource> source,
                                           const SecureBytes& passwordUtf8) {
    const std::unique_ptr<DatabaseReader> reader = FormatDetector::readerFor(*source);
    return reader->load(std::move(source), passwordUtf8);
}

} // namespace vaultora::kdb
