// Secrets that arrive as Qt text (a typed password, the password of a web address) go into the
// wiped byte buffer at once; the UTF-8 copy the conversion needs is wiped too.
#pragma once

#include "kdb/SecureBytes.h"

#include <QString>

namespace vaultora::base {

[[nodiscard]] kdb::SecureBytes secureUtf8(const QString& text);

} // namespace vaultora::base
