#include "DropboxTestService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace vaultora::test::http {

DropboxTestService::DropboxTestService(const QStringList& failures) {
    if (!m_directory.isValid())
        return;
    QDir(m_directory.path()).mkpath(QStringLiteral("root"));
    QDir(m_directory.path()).mkpath(QStringLiteral("state"));
    QStringList arguments{QStringLiteral(DROPBOX_TEST_SERVICE), QStringLiteral("--root"),
                          m_directory.filePath(QStringLiteral("root")), QStringLiteral("--state"),
                          m_directory.filePath(QStringLiteral("state"))};
    for (const QString& failure : failures)
        arguments << QStringLiteral("--fail") << failure;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStandardPaths::findExecutable(QStringLiteral("python3")), arguments);
    if (!m_process.waitForStarted(30000))
        return;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(60000)) {
    }
    const QStringList ready = QString::fromUtf8(m_process.readLine()).trimmed().split(' ');
    if (ready.size() == 3 && ready[0] == QLatin1String("READY")) {
        m_port = ready[1].toUShort();
        m_certificateAuthorityFile = ready[2];
    }
}

DropboxTestService::~DropboxTestService() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(10000);
    }
}

vaultora::sync::DropboxServiceConfiguration DropboxTestService::configuration() const {
    vaultora::sync::DropboxServiceConfiguration configuration;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(m_port);
    configuration.apiHost = host;
    configuration.contentHost = host;
    configuration.certificateAuthorityFile = m_certificateAuthorityFile;
    return configuration;
}

QString DropboxTestService::servedPath(const QString& path) const {
    return m_directory.filePath(QStringLiteral("root") + path);
}

void DropboxTestService::addFolder(const QString& path) {
    QDir().mkpath(servedPath(path));
}

void DropboxTestService::addFile(const QString& path, const QByteArray& body,
                                 const QDateTime& modified) {
    const QString local = servedPath(path);
    QDir().mkpath(QFileInfo(local).path());
    QFile file(local);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(body);
        // Written bytes still in the buffer would reset the time when the file closes.
        file.flush();
        file.setFileTime(modified, QFileDevice::FileModificationTime);
    }
}

QStringList DropboxTestService::requests() const {
    QFile log(m_directory.filePath(QStringLiteral("state/requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace vaultora::test::http
