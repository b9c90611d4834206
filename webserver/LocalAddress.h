#pragma once

#include <QString>

namespace vaultora::webserver {

// The IPv4 address, in dotted decimal, under which browsers on the local network reach this
// device: that of the first interface that is up and is not the loopback. "error" when there
// is none.
[[nodiscard]] QString localIPv4Address();

} // namespace vaultora::webserver
