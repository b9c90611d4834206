#include "crash/CrashReporting.h"

#include "crash/CrashReportingConfiguration.h"

#include <QCoreApplication>
#include <QDir>

namespace vaultora::crash {

CrashReportManager* createCrashReportManager(std::unique_ptr<CrashReportQuestion> question,
                                             QObject* parent) {
    CrashReportEnvironment environment = CrashReportEnvironment::current();
    auto collector = std::make_unique<CrashCollector>(
        QDir(environment.cachesDirectory)
            .filePath(QLatin1String(CrashReportingConfiguration::pendingReportFileName)),
        CrashCollector::Identity{
            QString::fromLatin1(CrashReportingConfiguration::applicationIdentifier),
            QCoreApplication::applicationVersion(), environment.applicationName});
    auto* manager = new CrashReportManager(std::move(collector), std::make_unique<QSettings>(),
                                           std::move(question), std::move(environment), parent);
    manager->setSubmissionAddress(configuredSubmissionAddress());
    return manager;
}

QString configuredSubmissionAddress() {
    const QString fromEnvironment =
        qEnvironmentVariable(CrashReportingConfiguration::submissionAddressVariable).trimmed();
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return QStringLiteral(VAULTORA_CRASH_REPORT_ADDRESS).trimmed();
}

} // namespace vaultora::crash
