#include "system/AutostartStore.h"

std::optional<std::string> DesktopAutostartStore::ReadProgramPath() const {
    return ReadAutostartProgram(file_);
}

void DesktopAutostartStore::Write(const std::string& programPath) {
    WriteAutostartEntry(file_, programPath);
}

void DesktopAutostartStore::Remove() {
    RemoveAutostartEntry(file_);
}
