// Puts copied texts on the system clipboard. A copied secret is marked so that clipboard
// managers leave it out of their history, and is taken off the clipboard again after a delay,
// at a lock and when the application quits, but only while the clipboard still holds it:
// whatever the user copied since is left alone.
#pragma once

#include "ui/toolkit/TimerFactory.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

namespace vaultora::ui {

class SecretClipboard final : public QObject {
    Q_OBJECT

public:
    explicit SecretClipboard(std::shared_ptr<toolkit::TimerFactory> timers,
                             QObject* parent = nullptr);
    ~SecretClipboard() override;

    void copyText(const QString& text);
    // A delay of zero or less keeps the secret until a lock or the end of the application.
    void copySecret(const QString& secret, std::chrono::seconds clearAfter);
    // Takes the secret off the clipboard if it is still there.
    void clearSecret();

private:
    [[nodiscard]] static QByteArray fingerprint(const QString& text);

    std::unique_ptr<toolkit::OneShotTimer> m_clearTimer;
    // A hash of the secret on the clipboard, so that no copy of it stays here.
    QByteArray m_secretFingerprint;
};

} // namespace vaultora::ui
