#include "ui/LoginInfoTarget.h"

#include "kdb/SecureBytes.h"

namespace vaultora::ui {

void LoginInfoTarget::setValue(const QVariant& value, const QString& key) {
    if (key == QLatin1String("login")) {
        m_values.setLogin(value.toString());
    } else if (key == QLatin1String("password")) {
        // A field never typed into has no value; the reader gets the empty password then.
        const QByteArray utf8 = value.toString().toUtf8();
        m_values.setPassword(kdb::SecureBytes(utf8.begin(), utf8.end()));
    }
}

} // namespace vaultora::ui
