#include "net/Reachability.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using vaultora::net::Reachability;

namespace {

const char Ipv4Header[] = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\t"
                          "Window\tIRTT\n";
const char Ipv4Default[] = "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
const char Ipv4Subnet[] = "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
const char Ipv6Default[] = "00000000000000000000000000000000 00 00000000000000000000000000000000 "
                           "00 fd000000000000000000000000000001 00000400 00000002 00000000 "
                           "00000003     eth0\n";
const char Ipv6Link[] = "fe800000000000000000000000000000 40 00000000000000000000000000000000 "
                        "00 00000000000000000000000000000000 00000100 00000002 00000000 "
                        "00000001     eth0\n";
// What the kernel lists on a machine without any IPv6 route: an unreachable default on lo.
const char Ipv6Unreachable[] = "00000000000000000000000000000000 00 "
                               "00000000000000000000000000000000 00 "
                               "00000000000000000000000000000000 ffffffff 00000001 00000000 "
                               "00200200       lo\n";

class RouteTables : public testing::Test {
protected:
    QString write(const char* name, const std::string& content) {
        const QString path = m_directory.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        return path;
    }
    vaultora::net::Reachability::NetworkStatus status(const std::string& ipv4,
                                                      const std::string& ipv6) {
        return vaultora::net::Reachability::statusFromRouteTables(write("route", ipv4),
                                                                  write("ipv6_route", ipv6));
    }

    QTemporaryDir m_directory;
};

TEST_F(RouteTables, DefaultRouteOfEitherFamilyIsReachable) {
    EXPECT_EQ(status(std::string(Ipv4Header) + Ipv4Subnet + Ipv4Default, Ipv6Unreachable),
              vaultora::net::Reachability::ReachableViaWiFi);
    EXPECT_EQ(status(std::string(Ipv4Header) + Ipv4Subnet, std::string(Ipv6Link) + Ipv6Default),
              vaultora::net::Reachability::ReachableViaWiFi);
}

TEST_F(RouteTables, NoDefaultRouteIsNotReachable) {
    EXPECT_EQ(status(std::string(Ipv4Header) + Ipv4Subnet, std::string(Ipv6Link) + Ipv6Unreachable),
              vaultora::net::Reachability::NotReachable);
    EXPECT_EQ(status(Ipv4Header, ""), vaultora::net::Reachability::NotReachable);
    // A default route that is down or rejects its traffic does not count.
    EXPECT_EQ(status(std::string(Ipv4Header) +
                         "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n" +
                         "eth0\t00000000\t010200C0\t0201\t0\t0\t0\t00000000\t0\t0\t0\n",
                     ""),
              vaultora::net::Reachability::NotReachable);
}

TEST_F(RouteTables, UnreadableTablesAreNotReachable) {
    EXPECT_EQ(vaultora::net::Reachability::statusFromRouteTables(
                  m_directory.filePath(QStringLiteral("none")),
                  m_directory.filePath(QStringLiteral("none6"))),
              vaultora::net::Reachability::NotReachable);
}

TEST(Reachability, ForcedStatusAnswersUntilReset) {
    const vaultora::net::Reachability probe =
        vaultora::net::Reachability::reachabilityForInternetConnection();
    EXPECT_EQ(probe.key(), QStringLiteral("InternetConnection"));
    vaultora::net::Reachability::setForcedStatusForTesting(
        vaultora::net::Reachability::NotReachable);
    EXPECT_EQ(probe.currentReachabilityStatus(), vaultora::net::Reachability::NotReachable);
    vaultora::net::Reachability::setForcedStatusForTesting(
        vaultora::net::Reachability::ReachableViaWWAN);
    EXPECT_EQ(probe.currentReachabilityStatus(), vaultora::net::Reachability::ReachableViaWWAN);
    vaultora::net::Reachability::setForcedStatusForTesting(std::nullopt);
}

} // namespace
