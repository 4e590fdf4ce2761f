// The autostart entry: whatever file the reader is given, a path it reads
// back is written and read again unchanged; every path survives the Exec=
// quoting both ways.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "system/AutostartStore.h"
#include "system/DesktopExec.h"

namespace {

std::filesystem::path folder;

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void CheckExecValue(std::string_view bytes) {
    // Any path written as an Exec= value reads back as itself.
    if (!bytes.empty()) {
        const std::string value = DesktopExecValue(bytes);
        FUZZ_CHECK(value.find('\n') == std::string::npos);
        FUZZ_CHECK(ProgramFromDesktopExec(value) == std::string(bytes));
    }
    // A value that reads gives a path that writes and reads back the same.
    if (const auto program = ProgramFromDesktopExec(bytes)) {
        FUZZ_CHECK(!program->empty());
        FUZZ_CHECK(ProgramFromDesktopExec(DesktopExecValue(*program)) == *program);
    }
}

void CheckFile(std::string_view bytes) {
    DesktopAutostartStore store(folder / "autostart" / "Vimo.desktop");
    {
        std::ofstream out(store.File(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        FUZZ_CHECK(out.good());
    }
    const auto program = store.ReadProgramPath();
    if (!program) {
        return;
    }
    FUZZ_CHECK(!program->empty());
    store.Write(*program);
    FUZZ_CHECK(store.ReadProgramPath() == program);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // tmpfs where there is one: the writer flushes every file to disk.
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/vimo-fuzz-XXXXXX"
                                                                    : "/tmp/vimo-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    folder = pattern;
    std::filesystem::create_directories(folder / "autostart");
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckExecValue(bytes);
    CheckFile(bytes);
    return 0;
}
