#pragma once

#include <filesystem>

#include "ByteCounters.h"

// The kernel's byte counters of an interface, as the files
// <root>/<interface>/statistics/rx_bytes and tx_bytes give them; the root is
// /sys/class/net, seen from the program's network namespace.
class SysfsByteCounters final : public ByteCounters {
  public:
    explicit SysfsByteCounters(std::filesystem::path root = "/sys/class/net")
        : root_(std::move(root)) {}
    std::optional<ByteReading> Read(const std::string& interface) const override;

  private:
    std::filesystem::path root_;
};

// Whether `name` can be an interface's name: 1 to 15 characters, none of
// them a slash or a blank, and not "." or "..", so it never names a path
// outside its own folder.
bool IsInterfaceName(const std::string& name);
