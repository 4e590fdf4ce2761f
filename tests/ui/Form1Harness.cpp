#include "Form1Harness.h"

#include "Codec1251.h"
#include "UsageTable.h"

#include <filesystem>

Form1Harness::Form1Harness(OsFamily family) : platform(family) {
    std::filesystem::create_directories(dir / "Res");
    WriteBytes(dir / "Res/OnLine.ico", "online picture");
    WriteBytes(dir / "Res/OffLine.ico", "offline picture");
    clock.Set(2004, 8, 15, 10, 0, 0);
}

TForm1& Form1Harness::Start() {
    auto state = std::make_unique<ScriptedOnline>();
    online = state.get();
    form = std::make_unique<TForm1>(
        Form1Services{clock, boxes, platform, autostart, saveDialog, dir.Path()}, std::move(state),
        [this](TForm1& owner) {
            building = &owner;
            auto recording = std::make_unique<RecordingTray>();
            tray = recording.get();
            return recording;
        });
    return *form;
}

void Form1Harness::Kill() {
    form.reset();
    online = nullptr;
    tray = nullptr;
}

void Form1Harness::Tick(bool isOnline, const std::string& address) {
    online->online = isOnline;
    online->address = address;
    clock.AdvanceMinutes(1);
    form->Guarded([this] { form->Timer1Timer(); });
}

std::string Form1Harness::FileText(const std::string& name) const {
    return FromCp1251(ReadBytes(dir / name));
}

uint16_t Form1Harness::CellOn(int year, int month, int day) const {
    TUsageTable table(dir.Path());
    table.LoadTable();
    return table.Cell({year, month, day});
}
