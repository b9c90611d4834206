// Whether the device has a route to the internet, asked before any request is made. The
// network information service of the system answers where there is one; otherwise the
// kernel's routing tables are read for a default route.
#pragma once

#include <QString>
#include <optional>

namespace vaultora::net {

class Reachability final {
public:
    enum NetworkStatus { NotReachable = 0, ReachableViaWWAN = 1, ReachableViaWiFi = 2 };

    // The probe of the default route, keyed "InternetConnection".
    [[nodiscard]] static Reachability reachabilityForInternetConnection();

    [[nodiscard]] const QString& key() const { return m_key; }
    [[nodiscard]] NetworkStatus currentReachabilityStatus() const;

    // The status from the kernel's IPv4 and IPv6 routing tables (/proc/net/route and
    // /proc/net/ipv6_route): reachable when either has a usable default route outside the
    // loopback interface; not reachable when neither does or neither can be read.
    [[nodiscard]] static NetworkStatus statusFromRouteTables(const QString& ipv4RoutesPath,
                                                             const QString& ipv6RoutesPath);

    // Makes every probe answer the given status until reset with nothing; for tests.
    static void setForcedStatusForTesting(std::optional<NetworkStatus> status);

private:
    explicit Reachability(QString key) : m_key(std::move(key)) {}

    QString m_key;
};

} // namespace vaultora::net
