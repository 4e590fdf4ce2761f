#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ByteCounters.h"

// The kernel's byte counters of the interfaces of the calling thread's
// network namespace, from /proc/thread-self/net/dev. Unlike /sys/class/net,
// which shows the namespace that mounted it, this is always the namespace the
// watcher sees.
class KernelByteCounters final : public ByteCounters {
  public:
    explicit KernelByteCounters(std::string table = "/proc/thread-self/net/dev")
        : table_(std::move(table)) {}
    std::optional<ByteReading> Read(const std::string& interface) const override;

  private:
    std::string table_;
};

// The received and sent bytes of `interface` in the text of a /proc net/dev
// table; none when the interface is not there or its line is damaged.
std::optional<ByteReading> CountersIn(std::string_view table, std::string_view interface);
