#pragma once

#include "FakeClock.h"
#include "RecordingTrayShell.h"
#include "TempDir.h"
#include "UiFakes.h"
#include "Unit1.h"

#include <QStringList>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

// A control of the window found by its name, as the forms name it; a name
// that is not there fails the test loudly instead of crashing it.
template <class Control>
Control* Ctl(const QObject& root, const char* name) {
    auto* control = root.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) {
        throw std::logic_error(std::string("no control ") + name);
    }
    return control;
}

// A TForm1 on a fake clock, in a temporary working folder that holds the two
// icon files, with scripted online state, recorded boxes and a recording tray.
class Form1Harness {
  public:
    explicit Form1Harness(OsFamily family = OsFamily::Linux);

    // Builds the window, which runs its start-up, and its pages, as the
    // first showing builds them; with `pagesLater` they wait for that.
    TForm1& Start(bool pagesLater = false);
    // Drops the window without any exit step, as a killed program would.
    void Kill();
    // One minute passes and the tick runs, through the top-level handler as
    // the timer runs it.
    void Tick(bool online, const std::string& address = "10.0.0.2");

    // Before Start: a usage table with `minutes` on the given days, and a
    // settings file recording since `firstDate` at 3.6 kopecks a minute.
    void Prepare(const std::vector<std::pair<CalendarDate, int>>& minutes,
                 const std::string& firstDate = "01.01.2004");

    std::string FileText(const std::string& name) const;  // UTF-8
    uint16_t CellOn(int year, int month, int day) const;
    // The pictures the tray showed, one entry per change: "online",
    // "offline" or "other".
    QStringList Pictures() const;
    // The tips the tray showed, one entry per change.
    QStringList Tips() const;
    // The tray's balloons, each its title and text on two lines.
    QStringList Balloons() const;

    TempDir dir;
    FakeClock clock;
    RecordingBoxes boxes;
    FakePlatform platform;
    FakeAutostart autostart;
    FakeSaveDialog saveDialog;
    RecordingActivation activation;
    // The error and notice lines the window writes.
    std::ostringstream log;
    // The working folder, as start-up decided it.
    std::filesystem::path workDir = dir.Path();
    // Handed to the window when set: where bytes are read, where the
    // overview keeps its place.
    const ByteCounters* counters = nullptr;
    WindowPlaceStore* places = nullptr;
    // Handed to the window when set; none leaves the tray's balloon alone.
    NotificationService* notifications = nullptr;
    // The overview's chart: Qt Charts' own, linked in.
    UseChartMaker makeChart;
    ScriptedOnline* online = nullptr;
    std::shared_ptr<RecordingTrayShell::Log> trayLog = std::make_shared<RecordingTrayShell::Log>();
    std::unique_ptr<TForm1> form;
};
