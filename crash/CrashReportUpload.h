#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <thread>

namespace vaultora::net {
class HttpRequest;
} // namespace vaultora::net

namespace vaultora::crash {

// One HTTP POST of a crash report document through net/'s request. The request runs to its
// end on a thread of its own; the outcome is delivered on the thread this object lives on (the
// main loop).
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

    // False when the transfer cannot be started: no HTTP(S) address, or no thread.
    [[nodiscard]] bool start(Request request);

signals:
    void finished(const crash::CrashReportUpload::Result& result);

private:
    void finish();

    std::unique_ptr<net::HttpRequest> m_request;
    std::thread m_thread;
};

} // namespace vaultora::crash
