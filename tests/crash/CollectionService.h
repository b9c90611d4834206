#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

// A crash-collection service on 127.0.0.1 for the tests: it reads each HTTP request whole,
// keeps it, and answers with the status and body it was given.
class CollectionService final : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        // Field names in lower case.
        QMap<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    explicit CollectionService(QObject* parent = nullptr);

    [[nodiscard]] bool listen();
    [[nodiscard]] QUrl url() const;
    void setAnswer(int status, QByteArray body);
    [[nodiscard]] const QList<Request>& requests() const { return m_requests; }

signals:
    void requestReceived();

private:
    void acceptConnections();

    QTcpServer m_server;
    QList<Request> m_requests;
    int m_status = 200;
    QByteArray m_answer;
};
