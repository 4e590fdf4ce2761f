#include "AutoRun.h"

#include "core/Errors.h"

void SetAutoRun(bool flag, AutostartStore& autostart, const OsPlatform& platform) {
    try {
        if (!flag) {
            autostart.Remove();
            return;
        }
        if (const auto program = platform.ExecutablePath()) {
            autostart.Write(*program);
        }
    } catch (const Exception&) {
        // As a Run key that may not be opened: the choice stays in the file.
    }
}
