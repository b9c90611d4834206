#include "base/SecureText.h"

#include <QByteArray>

namespace vaultora::base {

kdb::SecureBytes secureUtf8(const QString& text) {
    QByteArray utf8 = text.toUtf8();
    kdb::SecureBytes bytes(utf8.cbegin(), utf8.cend());
    kdb::secureWipe(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return bytes;
}

} // namespace vaultora::base
