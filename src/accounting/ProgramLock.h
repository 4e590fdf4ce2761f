#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The lock file a running Vimo holds in its working folder, seen from a
// program that only looks (the report command). The window makes it with
// QLockFile; its lines are the owner's process id, the program's name, the
// host name, the machine id and the boot id, the last three possibly empty
// or missing in files of older writers.

struct LockOwner {
    int64_t Pid = 0;
    std::string Host;
    std::string HostId;
    std::string BootId;
};

// The owner a lock file's text names; none when its first line is not a
// positive process id.
std::optional<LockOwner> ParseLockFile(std::string_view text);

// What tells this machine and this boot from others.
struct MachineIds {
    std::string Host;
    std::string HostId;
    std::string BootId;
};
MachineIds ThisMachine();

// Whether the lock's owner still runs. A lock from another boot of this
// machine is left over whatever its process id; one made on another machine
// (a shared folder) cannot be checked from here and counts as running.
bool LockOwnerRuns(const LockOwner& owner, const MachineIds& here);

// Whether a Vimo runs in `folder`: its lock file is there and names a live
// owner. A missing, unreadable or garbled lock file means none runs.
bool ProgramRunsIn(const std::filesystem::path& folder);
