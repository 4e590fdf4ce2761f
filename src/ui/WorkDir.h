#pragma once

#include "AutostartStore.h"
#include "OsPlatform.h"

// Makes the folder of the program recorded in the autostart entry the
// current directory, so the data files are found when the desktop starts the
// program from elsewhere. Without a usable entry nothing changes and nothing
// is reported.
void RestoreWorkDir(const AutostartStore& autostart, OsPlatform& platform);
