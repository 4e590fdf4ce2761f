#include "SocketStack.h"

#include <utility>

namespace {

struct CodeText {
    std::int32_t Code;
    const char* Text;
};

// The texts of the standard socket error numbers, word for word.
constexpr CodeText kSocketErrorTexts[] = {
    {10004, "Interrupted system call."},
    {10009, "Bad file number."},
    {10013, "Access denied."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open files."},
    {10035, "Operation would block. "},
    {10036, "Operation now in progress."},
    {10037, "Operation already in progress."},
    {10038, "Socket operation on non-socket."},
    {10039, "Destination address required."},
    {10040, "Message too long."},
    {10041, "Protocol wrong type for socket."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10044, "Socket type not supported."},
    {10045, "Operation not supported on socket."},
    {10046, "Protocol family not supported."},
    {10047, "Address family not supported by protocol family."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Net dropped connection or reset."},
    {10053, "Software caused connection abort."},
    {10054, "Connection reset by peer."},
    {10055, "No buffer space available."},
    {10056, "Socket is already connected."},
    {10057, "Socket is not connected."},
    {10058, "Cannot send or receive after socket is closed."},
    {10059, "Too many references, cannot splice."},
    {10060, "Connection timed out."},
    {10061, "Connection refused."},
    {10062, "Too many levels of symbolic links."},
    {10063, "File name too long."},
    {10064, "Host is down."},
    {10065, "No route to host."},
    {10066, "Directory not empty"},
};

std::unique_ptr<TSocketStack> sharedStack;
int stackUsers = 0;

}  // namespace

TSocketStack::~TSocketStack() = default;

std::string TSocketStack::FirstHostAddress() {
    const std::vector<std::string>& addresses = HostAddresses();
    if (addresses.empty()) {
        throw EListError(0);
    }
    return addresses.front();
}

const std::vector<std::string>& TSocketStack::HostAddresses() {
    RefreshHostAddresses();
    return hostAddresses_;
}

std::string TSocketStack::SocketErrorText(std::int32_t code) const {
    const char* text = "";
    for (const CodeText& entry : kSocketErrorTexts) {
        if (entry.Code == code) {
            text = entry.Text;
            break;
        }
    }
    return "Socket Error # " + std::to_string(code) + "\r\n" + text;
}

std::string TSocketStack::AddressToText(const std::array<std::uint8_t, 4>& bytes) {
    std::string text;
    text.reserve(15);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += '.';
        }
        text += std::to_string(bytes[i]);
    }
    return text;
}

void TSocketStack::CheckSocketResult(int result) const {
    if (result == -1) {
        RaiseSocketFailure(LastSocketError());
    }
}

void TSocketStack::RaiseSocketFailure(std::int32_t code) const {
    throw ESocketError(code, SocketErrorText(code));
}

TSocketStack* SharedStack() {
    return sharedStack.get();
}

int StackUsers() {
    return stackUsers;
}

TNetComponent::TNetComponent(TStackFactory factory) {
    if (!sharedStack) {
        std::unique_ptr<TSocketStack> created = factory ? factory() : nullptr;
        // A factory that yields no stack has failed to start one; counting it
        // would leave every later lookup without a stack.
        if (!created) {
            throw EStackInitializationFailed();
        }
        sharedStack = std::move(created);
    }
    ++stackUsers;
}

TNetComponent::~TNetComponent() {
    if (--stackUsers == 0) {
        sharedStack.reset();
    }
}
