#pragma once

#include <cstdint>
#include <filesystem>

// What tells one version of a file from the next without reading it: which
// file stands at the path, its size and its times of change. The status
// change time moves with every write and cannot be set back, so a rewrite
// shows even when it keeps the size and the modification time; two writes
// within one tick of the file system's clock may still look alike.
struct FileVersion {
    // The errno value of a failed look (ENOENT for a missing file); every
    // other field is then 0.
    int Error = 0;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t Size = 0;
    int64_t ModifiedNanoseconds = 0;
    int64_t ChangedNanoseconds = 0;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// The version of the file at `path` now; never throws.
FileVersion CurrentFileVersion(const std::filesystem::path& path);
