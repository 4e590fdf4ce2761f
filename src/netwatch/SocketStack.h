#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NetErrors.h"

// The socket stack: the platform layer that tells which addresses the
// computer has and which of them comes first. Lookups are not thread-safe
// (every call rebuilds one shared list), so they all run on the UI thread.
class TSocketStack {
  public:
    TSocketStack() = default;
    virtual ~TSocketStack();
    TSocketStack(const TSocketStack&) = delete;
    TSocketStack& operator=(const TSocketStack&) = delete;

    // Refills the address list; throws ESocketError when the system cannot be
    // asked.
    virtual void RefreshHostAddresses() = 0;
    // The first entry of a fresh `HostAddresses`; EListError "List index out
    // of bounds (0)" when the list is empty.
    virtual std::string FirstHostAddress();
    // Refreshes and returns the address list; valid until the next call.
    virtual const std::vector<std::string>& HostAddresses();
    // The socket error number (see SocketErrorCodes.h) of the last failed
    // system call of the calling thread.
    virtual std::int32_t LastSocketError() const = 0;
    // "Socket Error # <code>\r\n<text>", the text empty for unknown codes.
    virtual std::string SocketErrorText(std::int32_t code) const;

    // Dotted-decimal text of an IPv4 address given in network byte order.
    static std::string AddressToText(const std::array<std::uint8_t, 4>& bytes);

    // Throws ESocketError for the calling thread's last error when `result` is -1.
    void CheckSocketResult(int result) const;
    [[noreturn]] void RaiseSocketFailure(std::int32_t code) const;

  protected:
    std::vector<std::string> hostAddresses_;
};

using TStackFactory = std::function<std::unique_ptr<TSocketStack>()>;

// The one stack of the process while at least one TNetComponent lives, else
// nullptr. Created, counted and destroyed on the UI thread only.
TSocketStack* SharedStack();
int StackUsers();

// A component that needs the socket stack. The first one creates the shared
// stack with its factory (whose errors leave this constructor and leave the
// count unchanged); the last one to go destroys it.
class TNetComponent {
  public:
    explicit TNetComponent(TStackFactory factory);
    virtual ~TNetComponent();
    TNetComponent(const TNetComponent&) = delete;
    TNetComponent& operator=(const TNetComponent&) = delete;
};
