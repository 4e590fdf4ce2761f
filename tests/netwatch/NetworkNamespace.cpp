#include "NetworkNamespace.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

NetworkNamespace::NetworkNamespace() {
    if (geteuid() != 0) {
        problem_ = "network namespace tests need root";
        return;
    }
    if (std::system("ip -V >/dev/null 2>&1") != 0) {
        problem_ = "the ip command (iproute2) is not installed";
        return;
    }
    original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (original_ < 0) {
        problem_ =
            std::string("cannot open the current network namespace: ") + std::strerror(errno);
        return;
    }
    if (unshare(CLONE_NEWNET) != 0) {
        problem_ = std::string("network namespaces are not allowed here: ") + std::strerror(errno);
        return;
    }
    entered_ = true;
}

NetworkNamespace::~NetworkNamespace() {
    if (entered_ && setns(original_, CLONE_NEWNET) != 0) {
        // Staying in the test namespace would mislead every later test.
        std::abort();
    }
    if (original_ >= 0) {
        close(original_);
    }
}

void NetworkNamespace::Ip(const std::string& arguments) {
    const std::string command = "ip " + arguments + " 2>&1";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

bool NetworkNamespace::IsRunning(const std::string& interface) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return false;
    }
    bool running = false;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (interface == entry->ifa_name) {
            running = (entry->ifa_flags & (IFF_UP | IFF_RUNNING)) == (IFF_UP | IFF_RUNNING);
            break;
        }
    }
    freeifaddrs(list);
    return running;
}
