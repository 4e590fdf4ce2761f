#pragma once

#include <cstdint>

// The socket layer reports its failures with the standard socket error
// numbers (10004 for an interrupted call up to 10066 for a folder that is not
// empty), the numbers whose texts TSocketStack::SocketErrorText gives.

// The socket error number for the errno value of a failed system call. A
// value without one (ENOENT for a missing /proc, EIO) stays as it is: errno
// values lie below 10000, so it never passes for a socket number, and its
// text is empty.
std::int32_t SocketErrorFromErrno(int error);
