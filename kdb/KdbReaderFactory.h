#pragma once

#include <memory>

#include "InputDataSource.h"
#include "KdbModel.h"

namespace kdb {

class KdbReaderFactory {
public:
    KdbReaderFactory() = delete;

    // Reads the two signature words from the source (leaving it at offset 8) and returns
    // the reader of that format. Unknown signatures throw ("Unsupported", "UnsupportedVersion").
    [[nodiscard]] static std::unique_ptr<KdbReader> newKdbReader(InputDataSource& source);
};

} // namespace kdb
