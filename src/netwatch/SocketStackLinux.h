#pragma once

#include <memory>
#include <string>
#include <vector>

#include "OnlineAddressRule.h"
#include "SocketStack.h"

// The socket stack on Linux. The host name resolves through /etc/hosts to a
// fixed loopback address whatever the connection, so the addresses are those
// of the interfaces with a default route (see OnlineAddresses). There is no
// library to load or start.
class TSocketStackLinux final : public TSocketStack {
  public:
    // `counted`, when given, decides which interfaces take part; it must
    // outlive the stack.
    explicit TSocketStackLinux(const CountedInterfaces* counted = nullptr) : counted_(counted) {}

    // Throws ESocketError with the socket error number of errno when the
    // route table or the interface list cannot be read.
    void RefreshHostAddresses() override;
    std::int32_t LastSocketError() const override;
    // The interface of the first address of the last refresh; empty offline.
    const std::string& FirstInterface() const { return firstInterface_; }

  private:
    void ReadRouteTable();

    // Kept between lookups so that the twice-a-second refresh reuses memory.
    std::string routeTable_;
    std::vector<InterfaceAddress> interfaces_;
    const CountedInterfaces* counted_;
    std::string firstInterface_;
};

std::unique_ptr<TSocketStack> MakeLinuxSocketStack(const CountedInterfaces* counted = nullptr);
