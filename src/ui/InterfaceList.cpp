#include "InterfaceList.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <algorithm>

std::vector<std::string> SystemInterfaceList::Names() const {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return {};
    }
    // One entry per interface and address family; an interface without an
    // address still has its link-level entry.
    std::vector<std::string> names;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_name == nullptr || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const std::string name = entry->ifa_name;
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    ::freeifaddrs(list);
    return names;
}
