// A button of a panel's bar, with a title or an image; tells its controller when pressed.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class BarButton final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Bar buttons are created by panels")
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY changed)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName NOTIFY changed)
    Q_PROPERTY(Style style READ style WRITE setStyle NOTIFY changed)
    // A button that switches a mode on and off shows whether the mode is on.
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked NOTIFY changed)

public:
    enum class Style { Plain, Bordered, Done };
    Q_ENUM(Style)

    BarButton(const QString& title, const QString& imageName, Style style, QObject* parent);

    [[nodiscard]] QString title() const { return m_title; }
    void setTitle(const QString& title);
    [[nodiscard]] QString imageName() const { return m_imageName; }
    void setImageName(const QString& imageName);
    [[nodiscard]] Style style() const { return m_style; }
    void setStyle(Style style);
    [[nodiscard]] bool isChecked() const { return m_checked; }
    void setChecked(bool checked);

    Q_INVOKABLE void press();

signals:
    void changed();
    void pressed();

private:
    QString m_title;
    QString m_imageName;
    Style m_style;
    bool m_checked = false;
};

} // namespace vaultora::toolkit
