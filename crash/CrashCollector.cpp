#include "crash/CrashCollector.h"

#include "crash/CrashSignalHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <sys/utsname.h>

namespace vaultora::crash {

namespace {
const QString temporarySuffix = QStringLiteral(".writing");
}

CrashCollector::CrashCollector(QString pendingReportPath, Identity identity)
    : m_pendingReportPath(std::move(pendingReportPath)), m_identity(std::move(identity)) {}

CrashCollector::~CrashCollector() {
    if (m_enabled) {
        CrashSignalHandler::uninstall();
    }
}

bool CrashCollector::hasPendingCrashReport() const {
    return QFileInfo(m_pendingReportPath).isFile();
}

std::optional<QByteArray> CrashCollector::loadPendingCrashReport(QString& error) const {
    QFile file(m_pendingReportPath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    if (bytes.isEmpty()) {
        error = QStringLiteral("the pending crash report is empty");
        return std::nullopt;
    }
    return bytes;
}

bool CrashCollector::purgePendingCrashReport() {
    // A crash inside the handler can leave its half-written file behind.
    QFile::remove(m_pendingReportPath + temporarySuffix);
    if (!QFileInfo::exists(m_pendingReportPath)) {
        return true;
    }
    return QFile::remove(m_pendingReportPath);
}

std::optional<QString> CrashCollector::enableCrashReporter() {
    if (m_enabled) {
        return std::nullopt;
    }
    const QString directory = QFileInfo(m_pendingReportPath).absolutePath();
    if (!QDir().mkpath(directory)) {
        return QStringLiteral("could not create the directory %1").arg(directory);
    }
    const CrashSignalHandler::Identity identity{
        m_identity.applicationIdentifier.toStdString(), m_identity.applicationVersion.toStdString(),
        operatingSystemVersion().toStdString(), m_identity.processName.toStdString()};
    if (const auto error = CrashSignalHandler::install(
            QFile::encodeName(m_pendingReportPath).toStdString(), identity)) {
        return QString::fromStdString(*error);
    }
    m_enabled = true;
    return std::nullopt;
}

QString CrashCollector::operatingSystemVersion() {
    utsname names{};
    QString kernel = QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion();
    if (::uname(&names) == 0) {
        kernel = QString::fromLocal8Bit(names.sysname) + QLatin1Char(' ') +
                 QString::fromLocal8Bit(names.release);
    }
    return kernel + QStringLiteral(" (") + QSysInfo::prettyProductName() + QLatin1Char(')');
}

} // namespace vaultora::crash
