#include "ui/SecretClipboard.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>

namespace vaultora::ui {

namespace {

// The hint that desktop clipboard managers read to keep a text out of their history.
constexpr char passwordManagerHint[] = "x-kde-passwordManagerHint";

} // namespace

SecretClipboard::SecretClipboard(std::shared_ptr<toolkit::TimerFactory> timers, QObject* parent)
    : QObject(parent), m_clearTimer(timers->createTimer()) {
    connect(qGuiApp, &QGuiApplication::aboutToQuit, this, &SecretClipboard::clearSecret);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationHidden || state == Qt::ApplicationSuspended) {
                    clearSecret();
                }
            });
}

SecretClipboard::~SecretClipboard() {
    clearSecret();
}

void SecretClipboard::copyText(const QString& text) {
    m_clearTimer->stop();
    m_secretFingerprint.clear();
    QGuiApplication::clipboard()->setText(text);
}

void SecretClipboard::copySecret(const QString& secret, std::chrono::seconds clearAfter) {
    auto data = std::make_unique<QMimeData>();
    data->setText(secret);
    data->setData(QString::fromLatin1(passwordManagerHint), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data.release());
    m_secretFingerprint = fingerprint(secret);
    m_clearTimer->stop();
    if (clearAfter.count() > 0) {
        m_clearTimer->start(clearAfter, [this] { clearSecret(); });
    }
}

void SecretClipboard::clearSecret() {
    m_clearTimer->stop();
    if (m_secretFingerprint.isEmpty()) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (fingerprint(clipboard->text()) == m_secretFingerprint) {
        clipboard->clear();
    }
    m_secretFingerprint.clear();
}

QByteArray SecretClipboard::fingerprint(const QString& text) {
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace vaultora::ui
