#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <net/if.h>
#include <netdb.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "IPWatch.h"
#include "OnlineAddressRule.h"
#include "QueuedUiDispatcher.h"
#include "RouteTable.h"
#include "SocketErrorCodes.h"
#include "SocketStackLinux.h"

namespace {

// The watcher checks twice a second.
constexpr double kChecksPerHour = 2.0 * 3600.0;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The older way for comparison: the first IPv4 address the host's own name
// resolves to.
class HostNameLookupStack final : public TSocketStack {
  public:
    void RefreshHostAddresses() override {
        hostAddresses_.clear();
        const std::string name = HostName();
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) {
            RaiseSocketFailure(11001);
        }
        for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
            std::array<std::uint8_t, 4> bytes{};
            const auto* inet = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            std::memcpy(bytes.data(), &inet->sin_addr.s_addr, bytes.size());
            hostAddresses_.push_back(AddressToText(bytes));
        }
        freeaddrinfo(found);
    }
    std::int32_t LastSocketError() const override { return SocketErrorFromErrno(errno); }

  private:
    std::string HostName() const {
        std::array<char, 256> name{};
        CheckSocketResult(gethostname(name.data(), name.size() - 1));
        return name.data();
    }
};

// Only when /etc/hosts answers for the host's name: the benchmark must not
// send a query to a name server.
bool HostNameIsLocal() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) {
        return false;
    }
    std::ifstream hosts("/etc/hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        words >> word;  // the address
        while (words >> word) {
            if (word == name.data()) {
                return true;
            }
        }
    }
    return false;
}

void RunChecks(benchmark::State& state, TStackFactory factory) {
    QueuedUiDispatcher dispatcher;
    TIPWatch watch(std::move(factory), dispatcher);
    watch.SetHistoryEnabled(false);
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        watch.CheckAddress();
        benchmark::DoNotOptimize(watch.Online());
    }
    const double cpuPerCheck =
        (ProcessCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_hour"] = cpuPerCheck * kChecksPerHour * 1000.0;
    state.SetLabel(watch.CurrentAddress());
}

void BM_CheckAddressLinuxStack(benchmark::State& state) {
    RunChecks(state, [] { return MakeLinuxSocketStack(); });
}
BENCHMARK(BM_CheckAddressLinuxStack);

void BM_CheckAddressHostNameLookup(benchmark::State& state) {
    if (!HostNameIsLocal()) {
        state.SkipWithError("the host name is not in /etc/hosts; not asking a name server");
        return;
    }
    RunChecks(state, [] { return std::make_unique<HostNameLookupStack>(); });
}
BENCHMARK(BM_CheckAddressHostNameLookup);

void BM_OnlineAddressesRule(benchmark::State& state) {
    constexpr unsigned kUp = IFF_UP | IFF_RUNNING;
    const std::vector<InterfaceAddress> interfaces = {
        {"lo", kUp | IFF_LOOPBACK, {127, 0, 0, 1}, std::nullopt},
        {"eth0", kUp, {192, 168, 0, 5}, 100},
        {"wlan0", kUp, {10, 0, 0, 7}, 600},
        {"docker0", kUp, {172, 17, 0, 1}, std::nullopt},
        {"virbr0", IFF_UP, {192, 168, 122, 1}, std::nullopt},
        {"tun0", kUp, {10, 8, 0, 2}, 50},
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(OnlineAddresses(interfaces));
    }
}
BENCHMARK(BM_OnlineAddressesRule);

void BM_ParseDefaultRoutes(benchmark::State& state) {
    const std::string table =
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
        "docker0\t000011AC\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n"
        "wlan0\t00000000\t0100000A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDefaultRoutes(table));
    }
}
BENCHMARK(BM_ParseDefaultRoutes);

}  // namespace

BENCHMARK_MAIN();
