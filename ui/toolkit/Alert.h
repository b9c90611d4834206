// A modal alert with a title, a message and buttons; it tells its owner which button was pressed
// and then closes.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class Alert final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Alerts are shown by the alert presenter")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)
    Q_PROPERTY(QStringList buttons READ buttons CONSTANT)

public:
    Alert(const QString& title, const QString& message, const QStringList& buttons,
          QObject* parent);

    [[nodiscard]] QString title() const { return m_title; }
    [[nodiscard]] QString message() const { return m_message; }
    [[nodiscard]] QStringList buttons() const { return m_buttons; }

    // An index outside the buttons is ignored.
    Q_INVOKABLE void press(int index);

signals:
    void buttonPressed(int index);
    void closed();

private:
    QString m_title;
    QString m_message;
    QStringList m_buttons;
    bool m_closed = false;
};

} // namespace vaultora::toolkit
