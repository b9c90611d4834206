#include "ui/LoginInfoTarget.h"

#include "base/SecureText.h"

namespace vaultora::ui {

void LoginInfoTarget::setValue(const QVariant& value, const QString& key) {
    if (key == QLatin1String("login")) {
        m_values.setLogin(value.toString());
    } else if (key == QLatin1String("password")) {
        // A field never typed into has no value; the reader gets the empty password then.
        m_values.setPassword(base::secureUtf8(value.toString()));
    }
}

} // namespace vaultora::ui
