#pragma once

#include "crash/CrashReport.h"

#include <QByteArray>

#include <optional>

namespace vaultora::crash {

// Reads the text the crash collector writes. A report without its first line or without the
// application identifier, version and operating-system version, or with a malformed number,
// does not parse.
class CrashReportParser final {
public:
    CrashReportParser() = delete;
    [[nodiscard]] static std::optional<CrashReport> parse(const QByteArray& bytes);
    // One line of a process's mapping table: "start-end perms offset device inode path".
    [[nodiscard]] static std::optional<CrashReport::Image> parseImage(const QByteArray& line);
};

} // namespace vaultora::crash
