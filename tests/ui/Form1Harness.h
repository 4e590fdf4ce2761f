#pragma once

#include "FakeClock.h"
#include "TempDir.h"
#include "UiFakes.h"
#include "Unit1.h"

#include <memory>

// A TForm1 on a fake clock, in a temporary working folder that holds the two
// icon files, with scripted online state and recorded boxes and tray calls.
class Form1Harness {
  public:
    explicit Form1Harness(OsFamily family = OsFamily::Linux);

    // Builds the window, which runs its start-up.
    TForm1& Start();
    // Drops the window without any exit step, as a killed program would.
    void Kill();
    // One minute passes and the tick runs, through the top-level handler as
    // the timer runs it.
    void Tick(bool online, const std::string& address = "10.0.0.2");

    std::string FileText(const std::string& name) const;  // UTF-8
    uint16_t CellOn(int year, int month, int day) const;

    TempDir dir;
    FakeClock clock;
    RecordingBoxes boxes;
    FakePlatform platform;
    FakeAutostart autostart;
    FakeSaveDialog saveDialog;
    ScriptedOnline* online = nullptr;
    RecordingTray* tray = nullptr;
    TForm1* building = nullptr;  // the window, from its tray's creation on
    std::unique_ptr<TForm1> form;
};
