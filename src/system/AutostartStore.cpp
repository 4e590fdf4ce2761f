#include "system/AutostartStore.h"

#include "core/Errors.h"
#include "files/FileIO.h"
#include "system/DesktopExec.h"

#include <system_error>

std::optional<std::string> DesktopAutostartStore::ReadProgramPath() const {
    return ReadAutostartProgram(file_);
}

void DesktopAutostartStore::Write(const std::string& programPath) {
    std::error_code ignored;
    std::filesystem::create_directories(file_.parent_path(), ignored);
    const std::string contents =
        "[Desktop Entry]\nType=Application\nName=Vimo\nExec=" + DesktopExecValue(programPath) +
        "\n";
    try {
        ReplaceFileAtomically(file_, contents);
    } catch (const EInOutError&) {
        throw Exception("Cannot create file " + file_.string());
    }
}

void DesktopAutostartStore::Remove() {
    std::error_code error;
    std::filesystem::remove(file_, error);
    if (error) {
        throw Exception("Cannot remove file " + file_.string());
    }
}
