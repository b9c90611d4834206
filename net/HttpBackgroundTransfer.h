// One HTTP exchange run on a thread of its own, so the main loop never waits for the network;
// progress and the end arrive on the thread that started it. Redirects are not followed. A
// body meant for a file goes to a temporary file beside it, which replaces the file in one
// rename only when the whole body arrived with status 200.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace vaultora::net {

struct BackgroundRequest {
    QByteArray method = "GET";
    QByteArray url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Empty: the system's trusted authorities.
    QByteArray certificateAuthorityFile;
    // Empty: the body is kept in the outcome.
    QString resultFilename;
};

struct BackgroundOutcome {
    // The destination file could not be created, written or moved into place.
    struct FileFailure {
        int code = 0; // a QFileDevice::FileError
        QString description;
        QString reason;
    };

    // libcurl's result code; 0 when the exchange ended with an answer.
    int connectionCode = 0;
    QString connectionError;
    int statusCode = 0;
    // By lower-case name.
    QMap<QString, QString> headers;
    QByteArray body;
    std::optional<FileFailure> fileFailure;
};

class HttpBackgroundTransfer final : public QObject {
    Q_OBJECT

public:
    // Bytes of a file body received so far, and the Content-Length (-1 when none came).
    using Progress = std::function<void(qint64 received, qint64 expected)>;
    using Completion = std::function<void(const BackgroundOutcome& outcome)>;

    explicit HttpBackgroundTransfer(QObject* parent = nullptr);
    // Cancels a running exchange and waits for its thread.
    ~HttpBackgroundTransfer() override;
    HttpBackgroundTransfer(const HttpBackgroundTransfer&) = delete;
    HttpBackgroundTransfer& operator=(const HttpBackgroundTransfer&) = delete;

    // Runs the exchange once; later calls do nothing.
    void start(BackgroundRequest request, Progress progress, Completion completion);
    // Stops the exchange; no callback follows and the destination stays as it was.
    void cancel();

    struct Transfer;

private:
    void finish(const BackgroundOutcome& outcome);

    std::shared_ptr<Transfer> m_transfer;
    std::thread m_worker;
    Progress m_progress;
    Completion m_completion;
};

} // namespace vaultora::net
