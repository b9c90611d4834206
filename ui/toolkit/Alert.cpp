#include "ui/toolkit/Alert.h"

namespace vaultora::toolkit {

Alert::Alert(const QString& title, const QString& message, const QStringList& buttons,
             QObject* parent)
    : QObject(parent), m_title(title), m_message(message), m_buttons(buttons) {}

void Alert::press(int index) {
    // A second press of a closing alert (a double click) reaches nobody.
    if (m_closed || index < 0 || index >= m_buttons.size()) {
        return;
    }
    m_closed = true;
    emit buttonPressed(index);
    emit closed();
}

} // namespace vaultora::toolkit
