#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <atomic>
#include <thread>

namespace vaultora::crash {

// One HTTP POST of a crash report document. The transfer runs on a thread of its own; the
// outcome is delivered on the thread this object lives on (the main loop).
class CrashReportUpload final : public QObject {
    Q_OBJECT

public:
    struct Request {
        QUrl url;
        QByteArray body;
        QByteArray contentType;
        QByteArray userAgent;
        QByteArray acceptEncoding;
        int timeoutSeconds = 15;
    };

    struct Result {
        // False when no answer arrived (no connection, time-out, cancelled).
        bool answered = false;
        long statusCode = 0;
        QByteArray body;
        QString error;
    };

    explicit CrashReportUpload(QObject* parent = nullptr);
    // Cancels a transfer still running and waits for its thread.
    ~CrashReportUpload() override;

    // False when the transfer cannot be started: no HTTP(S) address, or no connection handle.
    [[nodiscard]] bool start(Request request);

signals:
    void finished(const crash::CrashReportUpload::Result& result);

private:
    std::thread m_thread;
    std::atomic<bool> m_cancelled{false};
};

} // namespace vaultora::crash
