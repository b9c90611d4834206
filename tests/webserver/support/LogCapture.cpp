#include "tests/webserver/support/LogCapture.h"

#include <QMutex>
#include <QMutexLocker>

namespace vaultora::test::web {

namespace {

QMutex capturedLock;
QStringList captured;

void captureMessage(QtMsgType /*type*/, const QMessageLogContext& /*context*/,
                    const QString& message) {
    QMutexLocker locker(&capturedLock);
    captured.append(message);
}

} // namespace

LogCapture::LogCapture() {
    QMutexLocker locker(&capturedLock);
    captured.clear();
    m_previous = qInstallMessageHandler(captureMessage);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(m_previous);
}

QStringList LogCapture::lines() const {
    QMutexLocker locker(&capturedLock);
    return captured;
}

} // namespace vaultora::test::web
