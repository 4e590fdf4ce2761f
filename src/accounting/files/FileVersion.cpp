#include "files/FileVersion.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

FileVersion CurrentFileVersion(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return FileVersion{.Error = errno};
    }
    return FileVersion{.Device = static_cast<uint64_t>(st.st_dev),
                       .Inode = static_cast<uint64_t>(st.st_ino),
                       .Size = static_cast<int64_t>(st.st_size),
                       .ModifiedNanoseconds = Nanoseconds(st.st_mtim),
                       .ChangedNanoseconds = Nanoseconds(st.st_ctim)};
}
