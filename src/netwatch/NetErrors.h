#pragma once

#include <cstdint>
#include <string>

#include "core/Errors.h"

// Errors of the socket-stack layer. Each carries the exact text the user
// would see; the watcher absorbs all of them during its checks.
class ENetException : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "ENetException"; }
};

// A failed socket or system call; `SocketErrorCode` is its socket error
// number (see SocketErrorCodes.h).
class ESocketError : public ENetException {
  public:
    ESocketError(std::int32_t code, const std::string& message)
        : ENetException(message), SocketErrorCode(code) {}
    const char* ClassName() const noexcept override { return "ESocketError"; }
    std::int32_t SocketErrorCode;
};

class EStackError : public ENetException {
  public:
    using ENetException::ENetException;
    const char* ClassName() const noexcept override { return "EStackError"; }
};

// No socket stack could be started (its factory gave none): "Winsock
// Initialization Error.".
class EStackInitializationFailed : public EStackError {
  public:
    EStackInitializationFailed();
    const char* ClassName() const noexcept override { return "EStackInitializationFailed"; }
};

// An index outside a list: "List index out of bounds (<index>)".
class EListError : public Exception {
  public:
    explicit EListError(int index);
    const char* ClassName() const noexcept override { return "EListError"; }
};
