#include "system/OsPlatform.h"

#include <filesystem>
#include <system_error>

OsIdentity IdentifyOs(OsFamily family) {
    switch (family) {
        case OsFamily::WindowsNT:
            return {true, "Win 2000 "};
        case OsFamily::Windows9x:
            return {false, "Win 9x/Me"};
        case OsFamily::Linux:
            break;
    }
    return {true, "Linux    "};
}

std::optional<std::string> LinuxPlatform::ExecutablePath() const {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::nullopt;
    }
    return path.string();
}
