#pragma once

#include <QString>

namespace vaultora::webserver {

// The text with every unprintable character (line breaks, terminal escapes, format controls)
// written as a visible escape such as "\x1b", so that text from the network cannot start a
// line of its own or drive the terminal that shows it.
[[nodiscard]] QString printableText(const QString& text);

// Writes one diagnostic line of the server to the system log, as plain printable text.
void serverLog(const QString& line);

} // namespace vaultora::webserver
