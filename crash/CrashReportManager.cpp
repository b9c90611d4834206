#include "crash/CrashReportManager.h"

#include "crash/CrashReportDocument.h"
#include "crash/CrashReportFormatter.h"
#include "crash/CrashReportParser.h"
#include "crash/CrashReportTexts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimeZone>
#include <QTimer>
#include <QXmlStreamReader>

namespace vaultora::crash {

namespace {

// The reference date that saved reports are named from.
const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());

QString crashFileName(const QDateTime& now) {
    const double seconds = static_cast<double>(referenceDate.msecsTo(now)) / 1000.0;
    return QString::asprintf("%.0f", seconds);
}

} // namespace

CrashReportManager::CrashReportManager(std::unique_ptr<CrashCollector> collector,
                                       std::unique_ptr<QSettings> settings,
                                       std::unique_ptr<CrashReportQuestion> question,
                                       CrashReportEnvironment environment, QObject* parent)
    : QObject(parent), m_collector(std::move(collector)), m_settings(std::move(settings)),
      m_question(std::move(question)), m_environment(std::move(environment)) {
    launch();
}

CrashReportManager::~CrashReportManager() = default;

void CrashReportManager::launch() {
    m_analyzerStarted = m_settings->value(QLatin1String(analyzerStartedKey), 0).toInt();
    const QVariant activated = m_settings->value(QLatin1String(activatedKey));
    if (activated.isValid()) {
        m_active = activated.toBool();
    } else {
        m_active = true;
        m_settings->setValue(QLatin1String(activatedKey), true);
        m_settings->sync();
    }
    if (!m_active) {
        return;
    }

    m_crashesDirectory = QDir(m_environment.cachesDirectory).filePath(QStringLiteral("crashes"));
    if (!QFileInfo::exists(m_crashesDirectory)) {
        QDir().mkpath(m_crashesDirectory);
        QFile::setPermissions(m_crashesDirectory,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                  QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther);
    }

    if (m_collector->hasPendingCrashReport()) {
        m_crashedInLastSession = true;
        savePendingCrashReport();
    }

    if (const auto error = m_collector->enableCrashReporter()) {
        qWarning("Warning: Could not enable crash reporter: %s", qPrintable(*error));
    }
}

void CrashReportManager::savePendingCrashReport() {
    bool keepPendingReport = false;
    // The flag is set while the report is loaded: when loading crashes the application, the
    // next launch finds it still set and drops the report instead of crashing again.
    if (m_analyzerStarted == 0) {
        m_analyzerStarted = 1;
        m_settings->setValue(QLatin1String(analyzerStartedKey), m_analyzerStarted);
        m_settings->sync();

        QString error;
        if (const auto bytes = m_collector->loadPendingCrashReport(error)) {
            QSaveFile file(QDir(m_crashesDirectory).filePath(crashFileName(m_environment.clock())));
            if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() ||
                !file.commit()) {
                // Purging now would lose the report; the next launch tries again.
                qWarning("Could not save crash report: %s", qPrintable(file.errorString()));
                keepPendingReport = true;
            }
        } else {
            qWarning("Could not load crash report: %s", qPrintable(error));
        }
    }
    m_analyzerStarted = 0;
    m_settings->setValue(QLatin1String(analyzerStartedKey), m_analyzerStarted);
    m_settings->sync();
    if (!keepPendingReport && !m_collector->purgePendingCrashReport()) {
        qWarning("Could not purge the pending crash report");
    }
}

void CrashReportManager::setSubmissionAddress(const QString& address) {
    m_submissionAddress = address;
    if (address.isEmpty()) {
        // Nowhere to send them: asking the user would promise something that cannot happen.
        qInfo().noquote() << "No crash-report address is configured; crash reports stay in"
                          << m_crashesDirectory;
        return;
    }
    QTimer::singleShot(m_environment.startDelay, this, &CrashReportManager::startManager);
}

bool CrashReportManager::hasPendingCrashReport() {
    if (!m_active) {
        return false;
    }
    if (m_crashFiles.isEmpty() && QFileInfo(m_crashesDirectory).isDir()) {
        const QDir directory(m_crashesDirectory);
        QDirIterator iterator(m_crashesDirectory, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                              QDirIterator::Subdirectories);
        while (iterator.hasNext()) {
            const QFileInfo file(iterator.next());
            if (file.size() > 0) {
                m_crashFiles.append(directory.relativeFilePath(file.filePath()));
            }
        }
        m_crashFiles.sort();
    }
    return !m_crashFiles.isEmpty();
}

bool CrashReportManager::hasNonApprovedCrashReports() const {
    const QVariantMap approved = m_settings->value(QLatin1String(approvedCrashReportsKey)).toMap();
    if (approved.isEmpty()) {
        return true;
    }
    for (const QString& file : m_crashFiles) {
        if (!approved.contains(file)) {
            return true;
        }
    }
    return false;
}

void CrashReportManager::startManager() {
    if (m_sendingInProgress || !hasPendingCrashReport()) {
        return;
    }
    m_sendingInProgress = true;
    if (!hasNonApprovedCrashReports()) {
        QTimer::singleShot(0, this, &CrashReportManager::sendCrashReports);
        return;
    }
    if (!m_question) {
        qWarning("No way to ask about the crash reports; they are kept for the next launch");
        m_sendingInProgress = false;
        return;
    }
    const QString& name = m_environment.displayName;
    const CrashReportQuestion::Texts texts{
        CrashReportTexts::localizedText(QStringLiteral("CrashDataFoundTitle"), name),
        CrashReportTexts::localizedText(QStringLiteral("CrashDataFoundDescription"), name),
        CrashReportTexts::localizedText(QStringLiteral("CrashDontSendReport"), name),
        CrashReportTexts::localizedText(QStringLiteral("CrashSendReport"), name)};
    m_question->ask(texts, [manager = QPointer<CrashReportManager>(this)](int buttonIndex) {
        if (manager) {
            manager->alertAnswered(buttonIndex);
        }
    });
}

void CrashReportManager::alertAnswered(int buttonIndex) {
    if (!m_sendingInProgress) {
        return;
    }
    if (buttonIndex == CrashReportQuestion::agreeButtonIndex) {
        QTimer::singleShot(0, this, &CrashReportManager::sendCrashReports);
    } else if (buttonIndex == CrashReportQuestion::declineButtonIndex) {
        m_sendingInProgress = false;
        cleanCrashReports();
    } else {
        // Dismissed without an answer: nothing is deleted and the next launch asks again.
        m_sendingInProgress = false;
    }
}

void CrashReportManager::sendCrashReports() {
    QVariantMap approved = m_settings->value(QLatin1String(approvedCrashReportsKey)).toMap();
    QString crashes;
    const QDir directory(m_crashesDirectory);
    for (const QString& name : std::as_const(m_crashFiles)) {
        QFile file(directory.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("Could not read crash report: %s", qPrintable(file.errorString()));
            continue;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        if (bytes.isEmpty()) {
            file.remove();
            continue;
        }
        const auto report = CrashReportParser::parse(bytes);
        if (!report) {
            qWarning("Could not parse crash report");
            continue;
        }
        CrashReportDocument::Crash crash;
        crash.applicationName = m_environment.applicationName;
        crash.bundleIdentifier = report->applicationIdentifier;
        crash.systemVersion = report->operatingSystemVersion;
        crash.platform = m_environment.platform;
        crash.senderVersion = m_environment.senderVersion;
        crash.version = report->applicationVersion;
        crash.log = CrashReportFormatter::format(*report);
        crashes += CrashReportDocument::crashElement(crash);
        approved.insert(name, true);
    }
    m_settings->setValue(QLatin1String(approvedCrashReportsKey), approved);
    m_settings->sync();
    if (crashes.isEmpty()) {
        return;
    }
    postDocument(CrashReportDocument::document(crashes));
}

void CrashReportManager::postDocument(const QString& document) {
    m_serverResult = 0;
    m_statusCode = 200;
    m_responseData.clear();
    delete m_upload;
    auto* upload = new CrashReportUpload(this);
    connect(upload, &CrashReportUpload::finished, this, &CrashReportManager::handleUploadResult);
    CrashReportUpload::Request request;
    request.url = QUrl(m_submissionAddress);
    request.body = CrashReportDocument::multipartBody(document);
    request.contentType = CrashReportDocument::contentType();
    request.userAgent = QByteArrayLiteral("Quincy/iOS");
    request.acceptEncoding = QByteArrayLiteral("gzip");
    if (!upload->start(std::move(request))) {
        qWarning("Could not start the crash report upload");
        delete upload;
        m_sendingInProgress = false;
        return;
    }
    m_upload = upload;
}

void CrashReportManager::handleUploadResult(const CrashReportUpload::Result& result) {
    if (!result.answered) {
        // Files and approvals stay, so the next launch sends them without asking.
        qWarning("Crash report upload failed: %s", qPrintable(result.error));
    } else {
        m_statusCode = result.statusCode;
        m_responseData.append(result.body);
        if (m_statusCode >= 200 && m_statusCode < 400) {
            cleanCrashReports();
            readServerResult();
        }
    }
    m_responseData.clear();
    m_sendingInProgress = false;
    if (m_upload) {
        m_upload->deleteLater();
    }
    emit uploadEnded();
}

void CrashReportManager::readServerResult() {
    QXmlStreamReader reader(m_responseData);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("result")) {
            const int result = reader.readElementText().trimmed().toInt();
            if (result > m_serverResult) {
                m_serverResult = result;
            }
        }
    }
    if (m_serverResult <= 0) {
        qWarning("CrashReporter ended in error code: %i", m_serverResult);
    }
}

void CrashReportManager::cleanCrashReports() {
    const QDir directory(m_crashesDirectory);
    for (const QString& name : std::as_const(m_crashFiles)) {
        QFile::remove(directory.filePath(name));
    }
    // The list is rebuilt from the folder when needed, so it must not name deleted files.
    m_crashFiles.clear();
    m_settings->remove(QLatin1String(approvedCrashReportsKey));
    m_settings->sync();
}

} // namespace vaultora::crash
