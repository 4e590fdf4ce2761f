#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "IPWatch.h"
#include "NetworkNamespace.h"
#include "QueuedUiDispatcher.h"
#include "SocketStackLinux.h"

namespace {

using namespace std::chrono_literals;
using Addresses = std::vector<std::string>;

class LinuxStackNamespaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!space_.Problem().empty()) {
            GTEST_SKIP() << "skipped: " << space_.Problem();
        }
        NetworkNamespace::Ip("link set lo up");
    }

    // A veth pair with both ends up, the test's end holding 10.200.<n>.2/24;
    // waits until it carries traffic so that only routes decide.
    static void AddLink(int n) {
        const std::string name = "vnw" + std::to_string(n);
        NetworkNamespace::Ip("link add " + name + " type veth peer name " + name + "p");
        NetworkNamespace::Ip("link set " + name + "p up");
        NetworkNamespace::Ip("link set " + name + " up");
        NetworkNamespace::Ip("addr add 10.200." + std::to_string(n) + ".2/24 dev " + name);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!NetworkNamespace::IsRunning(name)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << name << " never came up";
            std::this_thread::sleep_for(10ms);
        }
    }

    static void AddDefaultRoute(int n, int metric) {
        NetworkNamespace::Ip("route add default via 10.200." + std::to_string(n) + ".1 dev vnw" +
                             std::to_string(n) + " metric " + std::to_string(metric));
    }

    NetworkNamespace space_;
};

TEST_F(LinuxStackNamespaceTest, OnlyLoopbackAnswersLoopback) {
    auto stack = MakeLinuxSocketStack();
    EXPECT_EQ(stack->HostAddresses(), Addresses{"127.0.0.1"});
    EXPECT_EQ(stack->FirstHostAddress(), "127.0.0.1");
}

TEST_F(LinuxStackNamespaceTest, OnlyInterfacesWithADefaultRouteCountLowestMetricFirst) {
    auto stack = MakeLinuxSocketStack();
    ASSERT_NO_FATAL_FAILURE(AddLink(1));
    EXPECT_EQ(stack->HostAddresses(), Addresses{"127.0.0.1"}) << "no default route yet";

    AddDefaultRoute(1, 100);
    EXPECT_EQ(stack->HostAddresses(), Addresses{"10.200.1.2"});

    ASSERT_NO_FATAL_FAILURE(AddLink(2));
    EXPECT_EQ(stack->HostAddresses(), Addresses{"10.200.1.2"});
    AddDefaultRoute(2, 50);
    EXPECT_EQ(stack->HostAddresses(), (Addresses{"10.200.2.2", "10.200.1.2"}));

    NetworkNamespace::Ip("route del default via 10.200.2.1 dev vnw2 metric 50");
    EXPECT_EQ(stack->HostAddresses(), Addresses{"10.200.1.2"});

    NetworkNamespace::Ip("addr del 10.200.1.2/24 dev vnw1");
    EXPECT_EQ(stack->HostAddresses(), Addresses{"127.0.0.1"});
}

TEST_F(LinuxStackNamespaceTest, OnlyTheNamedInterfaceCountsAndNamesItself) {
    CountedInterfaces counted;
    counted.SetNames({"vnw6"});
    TSocketStackLinux stack(&counted);
    ASSERT_NO_FATAL_FAILURE(AddLink(5));
    ASSERT_NO_FATAL_FAILURE(AddLink(6));
    // The unnamed pair has the better route and still does not count.
    AddDefaultRoute(5, 10);
    EXPECT_EQ(stack.HostAddresses(), Addresses{"127.0.0.1"});
    EXPECT_EQ(stack.FirstInterface(), "");
    AddDefaultRoute(6, 100);
    EXPECT_EQ(stack.HostAddresses(), Addresses{"10.200.6.2"});
    EXPECT_EQ(stack.FirstInterface(), "vnw6");
}

TEST_F(LinuxStackNamespaceTest, DownedInterfaceNoLongerCounts) {
    auto stack = MakeLinuxSocketStack();
    ASSERT_NO_FATAL_FAILURE(AddLink(3));
    AddDefaultRoute(3, 10);
    ASSERT_EQ(stack->FirstHostAddress(), "10.200.3.2");
    // Losing the far end (a pulled cable) drops carrier while the route may stay.
    NetworkNamespace::Ip("link set vnw3p down");
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (stack->FirstHostAddress() != "127.0.0.1") {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(10ms);
    }
}

TEST_F(LinuxStackNamespaceTest, WatcherFlipsWithinASecondOfTheChange) {
    QueuedUiDispatcher dispatcher;
    TIPWatch watch([] { return MakeLinuxSocketStack(); }, dispatcher);
    watch.SetHistoryEnabled(false);
    ASSERT_NO_FATAL_FAILURE(AddLink(4));
    watch.SetActive(true);

    // Plays the UI thread until `done` holds; returns how long it took.
    auto runUntil = [&](const std::function<bool()>& done) {
        const auto start = std::chrono::steady_clock::now();
        while (!done() && std::chrono::steady_clock::now() - start < 5s) {
            dispatcher.RunNext(50ms);
        }
        return std::chrono::steady_clock::now() - start;
    };

    runUntil([&] { return watch.CurrentAddress() == "127.0.0.1"; });
    ASSERT_EQ(watch.CurrentAddress(), "127.0.0.1");
    EXPECT_FALSE(watch.Online());

    AddDefaultRoute(4, 100);
    auto took = runUntil([&] { return watch.Online(); });
    EXPECT_TRUE(watch.Online());
    EXPECT_EQ(watch.CurrentAddress(), "10.200.4.2");
    EXPECT_LE(took, 1s);

    NetworkNamespace::Ip("route del default via 10.200.4.1 dev vnw4 metric 100");
    took = runUntil([&] { return !watch.Online(); });
    EXPECT_FALSE(watch.Online());
    EXPECT_LE(took, 1s);
    EXPECT_EQ(watch.PriorAddress(), "10.200.4.2");
    EXPECT_EQ(watch.AddressHistory(), Addresses{"10.200.4.2"});
    watch.SetActive(false);
}

}  // namespace
