// One notice at the top of the window: a style, a title, a subtitle, an optional progress bar
// and a timed hide. The host owns it; it is released once hidden, so keep it in a QPointer.
#pragma once

#include "ui/toolkit/Animated.h"
#include "ui/toolkit/OneShotTimer.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class TransientPanel final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Transient panels are shown by their host")
    Q_PROPERTY(Style style READ style CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString subtitle READ subtitle CONSTANT)
    Q_PROPERTY(bool hasProgressBar READ hasProgressBar CONSTANT)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool progressAnimated READ isProgressAnimated NOTIFY progressChanged)

public:
    enum class Style { Information, Error };
    Q_ENUM(Style)
    enum class ProgressBar { None, Shown };

    TransientPanel(Style style, const QString& title, const QString& subtitle,
                   ProgressBar progressBar, std::unique_ptr<OneShotTimer> hideTimer,
                   QObject* parent);
    ~TransientPanel() override;

    [[nodiscard]] Style style() const { return m_style; }
    [[nodiscard]] QString title() const { return m_title; }
    [[nodiscard]] QString subtitle() const { return m_subtitle; }
    [[nodiscard]] bool hasProgressBar() const { return m_progressBar == ProgressBar::Shown; }
    [[nodiscard]] double progress() const { return m_progress; }
    [[nodiscard]] bool isProgressAnimated() const { return m_progressAnimated == Animated::Yes; }
    [[nodiscard]] bool isHidden() const { return m_hidden; }

    // The fraction is kept within 0.0 to 1.0; a panel without a bar ignores it.
    void setProgress(double fraction, Animated animated);
    // Hides after the delay in seconds, replacing an earlier delay; 0 or less hides at once.
    void hideAfter(double seconds);
    void hide();

signals:
    void progressChanged();
    void hidden();

private:
    Style m_style;
    QString m_title;
    QString m_subtitle;
    ProgressBar m_progressBar;
    double m_progress = 0.0;
    Animated m_progressAnimated = Animated::No;
    bool m_hidden = false;
    std::unique_ptr<OneShotTimer> m_hideTimer;
};

} // namespace vaultora::toolkit
