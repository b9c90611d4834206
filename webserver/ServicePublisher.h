#pragma once

#include "webserver/AvahiQtPoll.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>

struct AvahiClient;
struct AvahiEntryGroup;

namespace vaultora::webserver {

// Announces one service by multicast DNS through the Avahi daemon. Every outcome is logged;
// a failure never affects the server that is being announced.
class ServicePublisher final {
public:
    ServicePublisher(QString domain, QString type, QString name, uint16_t port,
                     QMap<QString, QByteArray> txtRecord);
    ~ServicePublisher();
    ServicePublisher(const ServicePublisher&) = delete;
    ServicePublisher& operator=(const ServicePublisher&) = delete;

    // The name under which the service is announced, once the daemon has accepted it.
    [[nodiscard]] QString publishedName() const { return m_publishedName; }

private:
    // Adapters with the exact signatures of the Avahi callbacks.
    struct Callbacks;
    friend struct Callbacks;

    void registerService(AvahiClient* client);
    void reportFailure(int error);

    QString m_domain;
    QString m_type;
    QString m_name;
    uint16_t m_port;
    QMap<QString, QByteArray> m_txtRecord;
    QString m_publishedName;
    AvahiQtPoll m_poll;
    AvahiClient* m_client = nullptr;
    AvahiEntryGroup* m_group = nullptr;
    bool m_failed = false;
};

} // namespace vaultora::webserver
