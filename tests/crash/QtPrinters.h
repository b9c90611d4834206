#pragma once

#include <QString>

#include <ostream>

// Lets failing expectations show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}
