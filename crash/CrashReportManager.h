#pragma once

#include "crash/CrashCollector.h"
#include "crash/CrashReportEnvironment.h"
#include "crash/CrashReportQuestion.h"
#include "crash/CrashReportUpload.h"

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>

#include <memory>

namespace vaultora::crash {

// Keeps the report of a crash of the previous run, asks the user whether to send it, and
// posts it to the crash-collection service. Creating it runs the launch steps: the pending
// report of the collector is saved into the "crashes" folder of the caches directory, and the
// collector is enabled for this run.
class CrashReportManager final : public QObject {
    Q_OBJECT

public:
    static constexpr char activatedKey[] = "QuincyKitActivated";
    static constexpr char analyzerStartedKey[] = "QuincyKitAnalyzerStarted";
    static constexpr char approvedCrashReportsKey[] = "ApprovedCrashReports";
    // The notification that startManager is meant for; the application subscribes it.
    static constexpr char networkDidBecomeReachableNotification[] = "NetworkDidBecomeReachable";

    CrashReportManager(std::unique_ptr<CrashCollector> collector,
                       std::unique_ptr<QSettings> settings,
                       std::unique_ptr<CrashReportQuestion> question,
                       CrashReportEnvironment environment, QObject* parent = nullptr);
    ~CrashReportManager() override;

    // Stores the address and checks for reports once the start delay has passed. Without an
    // address nothing is ever asked or sent; saved reports stay on the device.
    void setSubmissionAddress(const QString& address);
    [[nodiscard]] const QString& submissionAddress() const { return m_submissionAddress; }

    // Asks about the reports, or sends them at once when all of them were approved before.
    void startManager();
    [[nodiscard]] bool hasPendingCrashReport();
    [[nodiscard]] bool hasNonApprovedCrashReports() const;
    // Button 1 sends, button 0 declines and deletes the reports.
    void alertAnswered(int buttonIndex);

    [[nodiscard]] bool isActive() const { return m_active; }
    [[nodiscard]] bool crashedInLastSession() const { return m_crashedInLastSession; }
    [[nodiscard]] bool isSendingInProgress() const { return m_sendingInProgress; }
    [[nodiscard]] int serverResult() const { return m_serverResult; }
    [[nodiscard]] long statusCode() const { return m_statusCode; }
    [[nodiscard]] QString crashesDirectory() const { return m_crashesDirectory; }
    [[nodiscard]] const QStringList& crashFiles() const { return m_crashFiles; }
    [[nodiscard]] QSettings& settings() { return *m_settings; }
    [[nodiscard]] const CrashCollector& collector() const { return *m_collector; }

signals:
    // An upload ended, with or without an answer.
    void uploadEnded();

private:
    void launch();
    void savePendingCrashReport();
    void sendCrashReports();
    void postDocument(const QString& document);
    void handleUploadResult(const CrashReportUpload::Result& result);
    void readServerResult();
    void cleanCrashReports();

    std::unique_ptr<CrashCollector> m_collector;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<CrashReportQuestion> m_question;
    CrashReportEnvironment m_environment;
    QPointer<CrashReportUpload> m_upload;

    QString m_submissionAddress;
    bool m_active = false;
    int m_analyzerStarted = 0;
    QString m_crashesDirectory;
    QStringList m_crashFiles;
    bool m_sendingInProgress = false;
    bool m_crashedInLastSession = false;
    int m_serverResult = 0;
    long m_statusCode = 200;
    QByteArray m_responseData;
};

} // namespace vaultora::crash
