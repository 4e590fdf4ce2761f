#pragma once

#include "core/Clock.h"
#include "meter/ConnectionMeter.h"
#include "system/AutostartStore.h"
#include "system/OsPlatform.h"

// What the start-up does to the data files and checks of them before any
// page exists: the pages are built when the window first opens, yet the
// files they would have written at start are written at start, and a fault
// they would have met there stops the start-up at the same step.

// The settings page's start: a missing settings file is written with the
// defaults (and their autostart choice for the running family), then read.
void PrepareSettings(ConnectionMeter& meter, AutostartStore& autostart, const OsPlatform& platform,
                     bool isNT);
// The date pickers' bounds: the first-recording date must read as a date and
// not lie after today.
void CheckFirstDate(const ConnectionMeter& meter, const Clock& clock);
// The statistics page's start: the first-recording year, and an empty
// history when none exists.
void PrepareHistory(const ConnectionMeter& meter);
