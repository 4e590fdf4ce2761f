#include "OnlineAddressRule.h"

#include <net/if.h>

#include <algorithm>

#include "SocketStack.h"

namespace {

bool Counts(const InterfaceAddress& entry) {
    constexpr unsigned kNeeded = IFF_UP | IFF_RUNNING;
    if ((entry.Flags & kNeeded) != kNeeded || (entry.Flags & IFF_LOOPBACK) != 0) {
        return false;
    }
    if (!entry.DefaultRouteMetric) {
        return false;
    }
    const auto& a = entry.Address;
    return a[0] != 127 && !(a[0] == 169 && a[1] == 254);
}

// The online entries, best first.
std::vector<const InterfaceAddress*> Chosen(std::span<const InterfaceAddress> addresses,
                                            const CountedInterfaces* counted) {
    // Few entries and twice a second: a small vector of pointers, stably sorted.
    std::vector<const InterfaceAddress*> chosen;
    chosen.reserve(addresses.size());
    for (const InterfaceAddress& entry : addresses) {
        if (Counts(entry) && (counted == nullptr || counted->Counts(entry.Interface))) {
            chosen.push_back(&entry);
        }
    }
    std::stable_sort(chosen.begin(), chosen.end(), [](const auto* left, const auto* right) {
        return *left->DefaultRouteMetric < *right->DefaultRouteMetric;
    });
    return chosen;
}

}  // namespace

std::vector<std::string> OnlineAddresses(std::span<const InterfaceAddress> addresses,
                                         const CountedInterfaces* counted) {
    const std::vector<const InterfaceAddress*> chosen = Chosen(addresses, counted);
    std::vector<std::string> texts;
    texts.reserve(std::max<std::size_t>(chosen.size(), 1));
    for (const InterfaceAddress* entry : chosen) {
        texts.push_back(TSocketStack::AddressToText(entry->Address));
    }
    if (texts.empty()) {
        texts.emplace_back(kLoopbackAddress);
    }
    return texts;
}

std::string FirstOnlineInterface(std::span<const InterfaceAddress> addresses,
                                 const CountedInterfaces* counted) {
    const std::vector<const InterfaceAddress*> chosen = Chosen(addresses, counted);
    return chosen.empty() ? std::string() : chosen.front()->Interface;
}
