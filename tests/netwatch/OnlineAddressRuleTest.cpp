#include <gtest/gtest.h>
#include <net/if.h>

#include <optional>
#include <ostream>
#include <set>
#include <vector>

#include "KernelByteCounters.h"
#include "OnlineAddressRule.h"
#include "RouteTable.h"

namespace {

constexpr unsigned kUp = IFF_UP | IFF_RUNNING;

InterfaceAddress Entry(const char* name, std::array<std::uint8_t, 4> address,
                       std::optional<std::uint32_t> metric, unsigned flags = kUp) {
    return InterfaceAddress{name, flags, address, metric};
}

struct RuleRow {
    const char* Name;
    std::vector<InterfaceAddress> Interfaces;
    std::vector<std::string> Expected;
};

void PrintTo(const RuleRow& row, std::ostream* out) {
    *out << row.Name;
}

class OnlineAddressesTest : public ::testing::TestWithParam<RuleRow> {};

TEST_P(OnlineAddressesTest, ChoosesRoutedAddressesBestFirst) {
    EXPECT_EQ(OnlineAddresses(GetParam().Interfaces), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OnlineAddressesTest,
    ::testing::Values(
        RuleRow{"Nothing", {}, {"127.0.0.1"}},
        RuleRow{"OnlyLoopback",
                {Entry("lo", {127, 0, 0, 1}, std::nullopt, kUp | IFF_LOOPBACK)},
                {"127.0.0.1"}},
        RuleRow{"LoopbackWithRouteStillSkipped",
                {Entry("lo", {127, 0, 0, 1}, 0, kUp | IFF_LOOPBACK)},
                {"127.0.0.1"}},
        RuleRow{"LoopbackRangeOnOtherInterfaceSkipped",
                {Entry("dummy0", {127, 0, 1, 1}, 0)},
                {"127.0.0.1"}},
        RuleRow{"BridgeWithoutRouteIsOffline",
                {Entry("docker0", {172, 17, 0, 1}, std::nullopt),
                 Entry("virbr0", {192, 168, 122, 1}, std::nullopt)},
                {"127.0.0.1"}},
        RuleRow{"RoutedInterfaceCounts",
                {Entry("lo", {127, 0, 0, 1}, std::nullopt, kUp | IFF_LOOPBACK),
                 Entry("docker0", {172, 17, 0, 1}, std::nullopt), Entry("ppp0", {10, 64, 3, 9}, 0)},
                {"10.64.3.9"}},
        RuleRow{"LowerMetricFirst",
                {Entry("eth0", {192, 168, 0, 5}, 100), Entry("wlan0", {10, 0, 0, 7}, 50)},
                {"10.0.0.7", "192.168.0.5"}},
        RuleRow{"EqualMetricKeepsInterfaceOrder",
                {Entry("eth0", {192, 168, 0, 5}, 100), Entry("eth1", {10, 0, 0, 7}, 100),
                 Entry("eth0", {192, 168, 0, 6}, 100)},
                {"192.168.0.5", "10.0.0.7", "192.168.0.6"}},
        RuleRow{"DownInterfaceSkipped", {Entry("eth0", {192, 168, 0, 5}, 0, 0)}, {"127.0.0.1"}},
        RuleRow{
            "UpButNotRunningSkipped", {Entry("eth0", {192, 168, 0, 5}, 0, IFF_UP)}, {"127.0.0.1"}},
        RuleRow{"LinkLocalSkipped",
                {Entry("eth0", {169, 254, 3, 4}, 0), Entry("eth1", {169, 253, 0, 1}, 10)},
                {"169.253.0.1"}}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.Name; });

// The user's choice of interfaces, and NetworkManager's metered flag, over
// two routed interfaces: home Wi-Fi with the better route, and a phone.
TEST(CountedInterfacesRule, OnlyCountedInterfacesTakePart) {
    const std::vector<InterfaceAddress> routed = {Entry("wlan0", {192, 168, 1, 5}, 50),
                                                  Entry("usb0", {172, 20, 10, 2}, 100)};
    using Metered = std::optional<std::set<std::string>>;
    struct Case {
        const char* name;
        std::vector<std::string> names;
        bool meteredOnly;
        Metered metered;
        std::vector<std::string> addresses;
        std::string first;
    };
    const Case cases[] = {
        {"every interface", {}, false, std::nullopt, {"192.168.1.5", "172.20.10.2"}, "wlan0"},
        {"the named one", {"usb0"}, false, std::nullopt, {"172.20.10.2"}, "usb0"},
        {"a name that is not there", {"wwan0"}, false, std::nullopt, {"127.0.0.1"}, ""},
        {"metered only", {}, true, std::set<std::string>{"usb0"}, {"172.20.10.2"}, "usb0"},
        {"metered only, none metered", {}, true, std::set<std::string>{}, {"127.0.0.1"}, ""},
        {"metered only, the manager away: names alone",
         {"wlan0"},
         true,
         std::nullopt,
         {"192.168.1.5"},
         "wlan0"},
        {"named and metered", {"wlan0"}, true, std::set<std::string>{"usb0"}, {"127.0.0.1"}, ""},
        {"metered ignored unless asked",
         {},
         false,
         std::set<std::string>{"usb0"},
         {"192.168.1.5", "172.20.10.2"},
         "wlan0"},
    };
    for (const Case& c : cases) {
        CountedInterfaces counted;
        counted.SetNames(c.names);
        counted.SetMeteredOnly(c.meteredOnly);
        counted.SetMetered(c.metered);
        EXPECT_EQ(OnlineAddresses(routed, &counted), c.addresses) << c.name;
        EXPECT_EQ(FirstOnlineInterface(routed, &counted), c.first) << c.name;
    }
}

TEST(KernelByteCounters, ReadsAnInterfacesReceivedAndSentBytes) {
    const std::string table =
        "Inter-|   Receive                                                |  Transmit\n"
        " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets "
        "errs drop fifo colls carrier compressed\n"
        "    lo:    4800      60    0    0    0     0          0         0     4800      60    0 "
        "   0    0     0       0          0\n"
        "  usb0:18446744073709551615 7 0 0 0 0 0 0 12345678 9 0 0 0 0 0 0\n"
        "wlan0: 1 2 3\n"
        " usb1x: 5 0 0 0 0 0 0 0 6 0 0 0 0 0 0 0\n";
    struct Case {
        const char* interface;
        std::optional<ByteReading> counters;
    };
    const Case cases[] = {
        {"lo", ByteReading{4800, 4800}},
        {"usb0", ByteReading{18446744073709551615u, 12345678}},
        // A line cut short, a name that only starts the same, none at all.
        {"wlan0", std::nullopt},
        {"usb1", std::nullopt},
        {"wwan0", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountersIn(table, c.interface), c.counters) << c.interface;
    }
    // The calling thread's own table, where loopback always is.
    EXPECT_TRUE(KernelByteCounters().Read("lo").has_value());
    EXPECT_FALSE(KernelByteCounters("/nonexistent/net/dev").Read("lo").has_value());
}

struct RouteRow {
    const char* Name;
    const char* Table;
    std::vector<std::pair<std::string, std::uint32_t>> Expected;
};

void PrintTo(const RouteRow& row, std::ostream* out) {
    *out << row.Name;
}

class ParseDefaultRoutesTest : public ::testing::TestWithParam<RouteRow> {};

TEST_P(ParseDefaultRoutesTest, FindsDefaultRoutesThatAreUp) {
    std::vector<std::pair<std::string, std::uint32_t>> found;
    for (const DefaultRoute& route : ParseDefaultRoutes(GetParam().Table)) {
        found.emplace_back(route.Interface, route.Metric);
    }
    EXPECT_EQ(found, GetParam().Expected);
}

constexpr const char* kHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseDefaultRoutesTest,
    ::testing::Values(RouteRow{"HeaderOnly", kHeader, {}}, RouteRow{"Empty", "", {}},
                      RouteRow{"GatewayRoute",
                               "Iface\tDestination\tGateway\n"
                               "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                               "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n",
                               {{"eth0", 100}}},
                      RouteRow{"DeviceRouteWithoutGateway",
                               "h\nppp0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n",
                               {{"ppp0", 0}}},
                      RouteRow{"RouteNotUpIgnored",
                               "h\neth0\t00000000\t0100A8C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n",
                               {}},
                      RouteRow{"DefaultDestinationWithMaskIsNotDefault",
                               "h\neth0\t00000000\t0100A8C0\t0003\t0\t0\t0\t000000FF\t0\t0\t0\n",
                               {}},
                      RouteRow{"SeveralInTableOrderLastLineWithoutNewline",
                               "h\nwlan0\t00000000\t0100000A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
                               "eth0  00000000  0100A8C0  0003  0  0  20  00000000  0  0  0",
                               {{"wlan0", 600}, {"eth0", 20}}},
                      RouteRow{"GarbledLinesSkipped",
                               "h\neth0\t0000000G\t0\t0003\t0\t0\t1\t00000000\n"
                               "short line\n"
                               "eth1\t00000000\t0\t0003\t0\t0\t-5\t00000000\n"
                               "eth2\t00000000\t0\t0003\t0\t0\t7\t00000000\n",
                               {{"eth2", 7}}}),
    [](const ::testing::TestParamInfo<RouteRow>& info) { return info.param.Name; });

}  // namespace
