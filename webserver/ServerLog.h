#pragma once

#include <QString>

namespace web {

// Writes one diagnostic line of the server to the system log, as plain text.
void serverLog(const QString& line);

} // namespace web
