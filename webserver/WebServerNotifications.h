#pragma once

// Names of the notifications the upload server posts.
namespace vaultora::webserver::notifications {

// Posted after every start of a server; the web-server screen refreshes the address it shows.
inline constexpr char localhostAdressesResolved[] = "LocalhostAdressesResolved";
// Posted when an upload has been stored; user information "filename" holds the file name.
inline constexpr char newFileUploaded[] = "NewFileUploaded";

} // namespace vaultora::webserver::notifications
