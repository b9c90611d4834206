#include "webserver/ServicePublisher.h"

#include "webserver/ServerLog.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <utility>

namespace vaultora::webserver {

namespace {

// The service directory writes names with a final dot; Avahi takes them without it, and
// the default domain as no domain at all.
QByteArray withoutFinalDot(const QString& text) {
    QString trimmed = text;
    if (trimmed.endsWith(QLatin1Char('.'))) {
        trimmed.chop(1);
    }
    return trimmed.toUtf8();
}

} // namespace

struct ServicePublisher::Callbacks {
    static void client(AvahiClient* client, AvahiClientState state, void* userdata);
    static void group(AvahiEntryGroup* group, AvahiEntryGroupState state, void* userdata);
};

ServicePublisher::ServicePublisher(QString domain, QString type, QString name, uint16_t port,
                                   QMap<QString, QByteArray> txtRecord)
    : m_domain(std::move(domain)), m_type(std::move(type)), m_name(std::move(name)), m_port(port),
      m_txtRecord(std::move(txtRecord)) {
    int error = 0;
    // The client may call back before it returns, with the client handle as argument.
    m_client =
        avahi_client_new(m_poll.poll(), AvahiClientFlags(0), &Callbacks::client, this, &error);
    if (m_client == nullptr) {
        reportFailure(error);
    }
}

ServicePublisher::~ServicePublisher() {
    // Freeing the client withdraws its entry groups.
    if (m_client != nullptr) {
        avahi_client_free(m_client);
    }
}

void ServicePublisher::Callbacks::client(AvahiClient* client, AvahiClientState state,
                                         void* userdata) {
    auto* self = static_cast<ServicePublisher*>(userdata);
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        self->registerService(client);
        break;
    case AVAHI_CLIENT_FAILURE:
        self->reportFailure(avahi_client_errno(client));
        break;
    default:
        break;
    }
}

void ServicePublisher::registerService(AvahiClient* client) {
    if (m_group != nullptr || m_failed) {
        return;
    }
    if (m_name.isEmpty()) {
        m_name = QString::fromUtf8(avahi_client_get_host_name(client));
    }
    m_group = avahi_entry_group_new(client, &Callbacks::group, this);
    if (m_group == nullptr) {
        reportFailure(avahi_client_errno(client));
        return;
    }
    AvahiStringList* txt = nullptr;
    for (auto it = m_txtRecord.cbegin(); it != m_txtRecord.cend(); ++it) {
        txt = avahi_string_list_add_pair_arbitrary(
            txt, it.key().toUtf8().constData(),
            reinterpret_cast<const uint8_t*>(it.value().constData()),
            static_cast<size_t>(it.value().size()));
    }
    const QByteArray name = m_name.toUtf8();
    const QByteArray type = withoutFinalDot(m_type);
    const QByteArray domain = withoutFinalDot(m_domain);
    const bool defaultDomain = domain.isEmpty() || domain == "local";
    int result = avahi_entry_group_add_service_strlst(
        m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), name.constData(),
        type.constData(), defaultDomain ? nullptr : domain.constData(), nullptr, m_port, txt);
    avahi_string_list_free(txt);
    if (result >= 0) {
        result = avahi_entry_group_commit(m_group);
    }
    if (result < 0) {
        reportFailure(result);
    }
}

void ServicePublisher::Callbacks::group(AvahiEntryGroup* group, AvahiEntryGroupState state,
                                        void* userdata) {
    auto* self = static_cast<ServicePublisher*>(userdata);
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        self->m_publishedName = self->m_name;
        serverLog(QStringLiteral("Bonjour Service Published: domain(%1) type(%2) name(%3)")
                      .arg(self->m_domain, self->m_type, self->m_name));
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        self->reportFailure(AVAHI_ERR_COLLISION);
        break;
    case AVAHI_ENTRY_GROUP_FAILURE:
        self->reportFailure(avahi_client_errno(avahi_entry_group_get_client(group)));
        break;
    default:
        break;
    }
}

void ServicePublisher::reportFailure(int error) {
    if (m_failed) {
        return;
    }
    m_failed = true;
    m_publishedName.clear();
    serverLog(QStringLiteral("Failed to Publish Service: domain(%1) type(%2) name(%3)")
                  .arg(m_domain, m_type, m_name));
    serverLog(QStringLiteral("Error Dict: {code = %1; description = \"%2\"}")
                  .arg(error)
                  .arg(QString::fromUtf8(avahi_strerror(error))));
}

} // namespace vaultora::webserver
