#include "SocketStackLinux.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "RouteTable.h"
#include "SocketErrorCodes.h"

namespace {

class InterfaceList {
  public:
    explicit InterfaceList(ifaddrs* list) : list_(list) {}
    ~InterfaceList() { freeifaddrs(list_); }
    InterfaceList(const InterfaceList&) = delete;
    InterfaceList& operator=(const InterfaceList&) = delete;
    const ifaddrs* First() const { return list_; }

  private:
    ifaddrs* list_;
};

}  // namespace

void TSocketStackLinux::ReadRouteTable() {
    // Read on the calling thread so that the table is the one of its network
    // namespace, like the interface list.
    int fd = open("/proc/thread-self/net/route", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        RaiseSocketFailure(LastSocketError());
    }
    routeTable_.clear();
    std::array<char, 4096> chunk;
    for (;;) {
        ssize_t count = read(fd, chunk.data(), chunk.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            const std::int32_t error = LastSocketError();
            close(fd);
            RaiseSocketFailure(error);
        }
        if (count == 0) {
            break;
        }
        routeTable_.append(chunk.data(), static_cast<std::size_t>(count));
    }
    close(fd);
}

void TSocketStackLinux::RefreshHostAddresses() {
    hostAddresses_.clear();
    firstInterface_.clear();
    ReadRouteTable();
    const std::vector<DefaultRoute> routes = ParseDefaultRoutes(routeTable_);

    ifaddrs* list = nullptr;
    CheckSocketResult(getifaddrs(&list));
    InterfaceList owned(list);

    interfaces_.clear();
    for (const ifaddrs* entry = owned.First(); entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        InterfaceAddress& item = interfaces_.emplace_back();
        item.Interface = entry->ifa_name;
        item.Flags = entry->ifa_flags;
        const auto* inet = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        std::memcpy(item.Address.data(), &inet->sin_addr.s_addr, item.Address.size());
        for (const DefaultRoute& route : routes) {
            if (route.Interface == item.Interface &&
                (!item.DefaultRouteMetric || route.Metric < *item.DefaultRouteMetric)) {
                item.DefaultRouteMetric = route.Metric;
            }
        }
    }
    hostAddresses_ = OnlineAddresses(interfaces_, counted_);
    firstInterface_ = FirstOnlineInterface(interfaces_, counted_);
}

std::int32_t TSocketStackLinux::LastSocketError() const {
    return SocketErrorFromErrno(errno);
}

std::unique_ptr<TSocketStack> MakeLinuxSocketStack(const CountedInterfaces* counted) {
    return std::make_unique<TSocketStackLinux>(counted);
}
