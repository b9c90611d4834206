#pragma once

#include "app/AppSettings.h"
#include "app/PropertyList.h"
#include "base/DatabaseRecord.h"

namespace vaultora::app {

// Converts between the registry in memory and the dictionaries of the registry file and of
// the legacy file list.
namespace RegistryCodec {

// The root dictionary of the registry file. Passwords are never part of it.
[[nodiscard]] PropertyList encode(const base::ServerArray& servers, const AppSettings& settings);

// Fills servers (appending, in the order the file lists them) and the settings present in
// the root dictionary; settings the file does not name keep their values.
void decode(plist_t root, base::ServerArray& servers, AppSettings& settings);

// One HTTP-download record per entry of the legacy file list (file name -> download URL).
[[nodiscard]] base::ServerArray decodeLegacyFileList(plist_t root);

[[nodiscard]] bool isNonEmptyDictionary(plist_t node);

} // namespace RegistryCodec

} // namespace vaultora::app
