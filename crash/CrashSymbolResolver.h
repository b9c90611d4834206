#pragma once

#include "crash/CrashReport.h"

#include <QList>
#include <QString>

#include <optional>

namespace vaultora::crash {

// Finds symbol names for addresses of a crashed process of the same program. A code image is
// looked up in this process by path, inode and file offset, so an address is moved to where
// the same code lies here; an image that is not loaded here, or was replaced on disk since,
// yields no name.
class CrashSymbolResolver final {
public:
    // Takes a snapshot of this process's mappings.
    CrashSymbolResolver();

    // The function name, with file and line where debugging information has them.
    [[nodiscard]] std::optional<QString> symbolFor(const CrashReport::Image& image,
                                                   std::uint64_t address) const;

private:
    QList<CrashReport::Image> m_loadedImages;
};

} // namespace vaultora::crash
