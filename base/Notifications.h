#pragma once

namespace vaultora::base {

// Names of the notifications the application core posts or observes.
namespace Notifications {

// Posted after the registry list was changed; the registry file is rewritten on it.
inline constexpr char databasesChanged[] = "KeePassDatabasesHasChanged";
// Posted after the application settings were saved.
inline constexpr char settingsChanged[] = "VaultoraSettingsChanged";
// Posted by the application window when the idle countdown runs out, and on the first touch
// after that.
inline constexpr char windowIdle[] = "RZNIdlingWindowIdleNotification";
inline constexpr char windowActive[] = "RZNIdlingWindowActiveNotification";

} // namespace Notifications

} // namespace vaultora::base
