#pragma once

#include <memory>

#include "DatabaseModel.h"
#include "InputSource.h"

namespace vaultora::kdb {

class FormatDetector {
public:
    FormatDetector() = delete;

    // Reads the two signature words from the source (leaving it at offset 8) and returns
    // the reader of that format. Unknown signatures throw ("Unsupported", "UnsupportedVersion").
    [[nodiscard]] static std::unique_ptr<DatabaseReader> readerFor(InputSource& source);
};

} // namespace vaultora::kdb
