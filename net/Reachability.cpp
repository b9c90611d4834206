#include "net/Reachability.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkInformation>
#include <QThread>
#include <atomic>

namespace vaultora::net {
namespace {

// -1 when no status is forced.
std::atomic<int> forcedStatus = -1;

constexpr unsigned RouteUp = 0x0001;
constexpr unsigned RouteReject = 0x0200;

bool hasIpv4DefaultRoute(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    file.readLine(); // the column titles
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        if (fields.size() < 8 || fields[0] == "lo")
            continue;
        bool ok = false;
        const unsigned flags = fields[3].toUInt(&ok, 16);
        if (ok && fields[1] == "00000000" && fields[7] == "00000000" && (flags & RouteUp) &&
            !(flags & RouteReject))
            return true;
    }
    return false;
}

bool hasIpv6DefaultRoute(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QByteArray anyAddress(32, '0');
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        // Destination PrefixLength Source SourcePrefix NextHop Metric RefCnt Use Flags Iface
        if (fields.size() < 10 || fields[9] == "lo")
            continue;
        bool ok = false;
        const unsigned flags = fields[8].toUInt(&ok, 16);
        if (ok && fields[0] == anyAddress && fields[1] == "00" && (flags & RouteUp) &&
            !(flags & RouteReject))
            return true;
    }
    return false;
}

// The system service's answer, or nothing when it has none to give.
std::optional<Reachability::NetworkStatus> statusFromNetworkInformation() {
    // The service lives on the main thread; elsewhere the routing tables answer.
    if (!QCoreApplication::instance() ||
        QThread::currentThread() != QCoreApplication::instance()->thread())
        return std::nullopt;
    // Loading looks for a system service; one attempt per process is enough.
    static const bool loaded =
        QNetworkInformation::instance() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    if (!loaded)
        return std::nullopt;
    const QNetworkInformation* information = QNetworkInformation::instance();
    if (!information)
        return std::nullopt;
    switch (information->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return std::nullopt;
    case QNetworkInformation::Reachability::Disconnected:
    case QNetworkInformation::Reachability::Local:
        // Local: addresses on a link, but no default route.
        return Reachability::NotReachable;
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
        // Site: a default route whose internet check failed; servers on the site network
        // may still be reached, and the route is what counts here.
        break;
    }
    return information->transportMedium() == QNetworkInformation::TransportMedium::Cellular
               ? Reachability::ReachableViaWWAN
               : Reachability::ReachableViaWiFi;
}

} // namespace

Reachability Reachability::reachabilityForInternetConnection() {
    return Reachability(QStringLiteral("InternetConnection"));
}

Reachability::NetworkStatus Reachability::statusFromRouteTables(const QString& ipv4RoutesPath,
                                                                const QString& ipv6RoutesPath) {
    if (hasIpv4DefaultRoute(ipv4RoutesPath) || hasIpv6DefaultRoute(ipv6RoutesPath))
        return ReachableViaWiFi;
    return NotReachable;
}

Reachability::NetworkStatus Reachability::currentReachabilityStatus() const {
    const int forced = forcedStatus.load();
    if (forced >= 0)
        return static_cast<NetworkStatus>(forced);
    if (const auto status = statusFromNetworkInformation())
        return *status;
    return statusFromRouteTables(QStringLiteral("/proc/net/route"),
                                 QStringLiteral("/proc/net/ipv6_route"));
}

void Reachability::setForcedStatusForTesting(std::optional<NetworkStatus> status) {
    forcedStatus = status ? static_cast<int>(*status) : -1;
}

} // namespace vaultora::net
