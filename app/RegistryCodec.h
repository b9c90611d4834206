#pragma once

#include "app/KeePassServerDetail.h"
#include "app/PropertyList.h"
#include "app/ZTAppSettings.h"

// Converts between the registry in memory and the dictionaries of the registry file and of
// the legacy file list.
namespace RegistryCodec {

// The root dictionary of the registry file. Passwords are never part of it.
[[nodiscard]] PropertyList encode(const ServerArray& servers, const ZTAppSettings& settings);

// Fills servers (appending, in the order the file lists them) and the settings present in
// the root dictionary; settings the file does not name keep their values.
void decode(plist_t root, ServerArray& servers, ZTAppSettings& settings);

// One HTTP-download record per entry of the legacy file list (file name -> download URL).
[[nodiscard]] ServerArray decodeLegacyFileList(plist_t root);

[[nodiscard]] bool isNonEmptyDictionary(plist_t node);

} // namespace RegistryCodec
