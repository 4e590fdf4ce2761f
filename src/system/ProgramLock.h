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

// Whether the lock's owner still runs, by what the lock names: a process of
// this boot of this machine that is alive. A lock from another boot, or from
// another machine, is left over whatever its process id; a copy really
// running on another machine (a shared folder) shows by LockFileHeld instead.
bool LockOwnerRuns(const LockOwner& owner, const MachineIds& here);

// The owner the lock file at `lockFile` names; none when it is missing,
// unreadable, not a regular file or garbled.
std::optional<LockOwner> ReadLockFile(const std::filesystem::path& lockFile);

// Whether a live process holds the native lock (flock) on the lock file, as
// a running copy does for as long as it runs, on this machine or on another
// one sharing the folder. A killed copy's lock goes with its process.
bool LockFileHeld(const std::filesystem::path& lockFile);

// Whether a Vimo runs in `folder`: its lock file names a live owner, or is
// held by one. A missing, unreadable or garbled lock file means none runs.
bool ProgramRunsIn(const std::filesystem::path& folder);
