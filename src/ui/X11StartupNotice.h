#pragma once

#include <QByteArray>

// Tells the X11 launcher that the start it announced with `startupId` is
// done, so that its busy pointer and "starting" entry go at once rather than
// at the launcher's time-out: the "remove" message of freedesktop.org's
// startup notification. Needs Qt's X11 platform; elsewhere it does nothing.
void EndX11StartupNotice(const QByteArray& startupId);
