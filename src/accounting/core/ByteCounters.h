#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The kernel's running totals of an interface's bytes since it was made.
struct ByteReading {
    uint64_t Received = 0;
    uint64_t Sent = 0;
    friend bool operator==(const ByteReading&, const ByteReading&) = default;
};

// Where the meter reads an interface's byte counters.
class ByteCounters {
  public:
    virtual ~ByteCounters() = default;
    // None when the interface is gone or its counters cannot be read.
    virtual std::optional<ByteReading> Read(const std::string& interface) const = 0;
};

// What a connection moved between two readings of the same interface. A
// counter that went back (the interface was made anew) counts from 0 again,
// so a delta is never negative nor one near 2^64.
ByteReading BytesMoved(const ByteReading& earlier, const ByteReading& now);
