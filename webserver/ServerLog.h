#pragma once

#include <QString>

namespace vaultora::webserver {

// Writes one diagnostic line of the server to the system log, as plain text.
void serverLog(const QString& line);

} // namespace vaultora::webserver
