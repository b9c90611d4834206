#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kdb/DatabaseModel.h"

namespace vaultora::cli {

// Paths name groups and entries from the root down, one name per step, separated by "/".
// A "/" or "\" inside a name is written "\/" or "\\". The root itself is the empty path.
[[nodiscard]] std::vector<std::string> splitPath(std::string_view path);
[[nodiscard]] std::string escapePathName(std::string_view name);

// The first group (or entry) along the path whose names match exactly, or nullptr.
[[nodiscard]] kdb::DatabaseGroup* findGroup(kdb::DatabaseGroup& root,
                                            const std::vector<std::string>& names);
[[nodiscard]] kdb::DatabaseEntry* findEntry(kdb::DatabaseGroup& root,
                                            const std::vector<std::string>& names);

// The path of a group below the root, escaped, with a trailing "/" unless it is the root.
[[nodiscard]] std::string groupPathPrefix(const kdb::DatabaseGroup& group);

} // namespace vaultora::cli
