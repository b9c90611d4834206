// A window-wide overlay with a busy indicator and a title that takes all input while it shows.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class ProgressOverlay : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The progress overlay is created by the application")
    Q_PROPERTY(bool visible READ isVisible NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)

public:
    explicit ProgressOverlay(QObject* parent = nullptr);

    void show(const QString& title);
    void hide();
    [[nodiscard]] bool isVisible() const { return m_visible; }
    [[nodiscard]] QString title() const { return m_title; }

signals:
    void changed();

private:
    bool m_visible = false;
    QString m_title;
};

} // namespace vaultora::toolkit
