// A window-wide overlay with a busy indicator and a title that takes all input while it shows,
// and, for work that can be stopped, a "Cancel" button.
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
    Q_PROPERTY(bool cancellable READ isCancellable NOTIFY changed)

public:
    explicit ProgressOverlay(QObject* parent = nullptr);

    void show(const QString& title);
    // The same with a "Cancel" button, whose tap emits cancelRequested.
    void showCancellable(const QString& title);
    void hide();
    [[nodiscard]] bool isVisible() const { return m_visible; }
    [[nodiscard]] QString title() const { return m_title; }
    [[nodiscard]] bool isCancellable() const { return m_cancellable; }

    // The tap on "Cancel"; ignored when the overlay shows no such button.
    Q_INVOKABLE void requestCancel();

signals:
    void changed();
    void cancelRequested();

private:
    bool m_visible = false;
    bool m_cancellable = false;
    QString m_title;
};

} // namespace vaultora::toolkit
