#pragma once

#include "system/AutostartStore.h"
#include "system/OsPlatform.h"

// Writes the autostart entry for the running program (flag true) or removes
// it (flag false). Writing replaces an existing entry, so there is only ever
// one, holding the path the program was started from this time. An entry
// that cannot be written or removed (a folder without write access), or a
// program path the system does not tell, changes nothing and is not
// reported: the settings file still records the choice.
void SetAutoRun(bool flag, AutostartStore& autostart, const OsPlatform& platform);
