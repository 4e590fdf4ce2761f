#include "Form1Harness.h"

#include "ChartsUseChart.h"
#include "core/Codec1251.h"
#include "files/PropRecord.h"
#include "files/UsageTable.h"

#include <filesystem>

namespace fs = std::filesystem;

Form1Harness::Form1Harness(OsFamily family) : platform(family) {
    fs::create_directories(dir / "Res");
    for (const char* icon : {"OnLine.ico", "OffLine.ico"}) {
        fs::copy_file(fs::path(VIMO_RES_DIR) / icon, dir / "Res" / icon);
    }
    clock.Set(2004, 8, 15, 10, 0, 0);
    platform.executable = (dir / "vimo").string();
    makeChart = [](QWidget* parent) { return new ChartsUseChart(parent); };
}

TForm1& Form1Harness::Start(bool pagesLater) {
    auto state = std::make_unique<ScriptedOnline>();
    online = state.get();
    form = std::make_unique<TForm1>(
        Form1Services{clock, boxes, platform, autostart, saveDialog, workDir, log, counters, places,
                      notifications, &activation, makeChart},
        std::move(state), std::make_unique<RecordingTrayShell>(trayLog));
    if (!pagesLater) {
        form->BuildPages();
    }
    return *form;
}

void Form1Harness::Kill() {
    form.reset();
    online = nullptr;
}

void Form1Harness::Tick(bool isOnline, const std::string& address) {
    online->online = isOnline;
    online->address = address;
    clock.AdvanceMinutes(1);
    form->Guarded([this] { form->Timer1Timer(); });
}

void Form1Harness::Prepare(const std::vector<std::pair<CalendarDate, int>>& minutes,
                           const std::string& firstDate) {
    TUsageTable table(dir.Path());
    table.LoadTable();
    FakeClock at;
    for (const auto& [day, count] : minutes) {
        at.Set(day.Year, day.Month, day.Day, 12, 0, 0);
        for (int i = 0; i < count; ++i) {
            table.UpdateTable(at);
        }
    }
    table.SaveTable();
    WritePropFile(dir.Path(), TPropRecord{3.6, false, false, firstDate}, clock);
}

std::string Form1Harness::FileText(const std::string& name) const {
    return FromCp1251(ReadBytes(dir / name));
}

uint16_t Form1Harness::CellOn(int year, int month, int day) const {
    TUsageTable table(dir.Path());
    table.LoadTable();
    return table.Cell({year, month, day});
}

QStringList Form1Harness::Pictures() const {
    const QString onlineFile =
        QString::fromStdString((fs::path(VIMO_RES_DIR) / "OnLine.ico").string());
    const QString offlineFile =
        QString::fromStdString((fs::path(VIMO_RES_DIR) / "OffLine.ico").string());
    QStringList pictures;
    for (const TrayCall& call : *trayLog) {
        if (call.Image.isNull()) {
            continue;
        }
        const QString picture = ShowsImageFile(call.Image, onlineFile) ? QStringLiteral("online")
                                : ShowsImageFile(call.Image, offlineFile)
                                    ? QStringLiteral("offline")
                                    : QStringLiteral("other");
        if (pictures.isEmpty() || pictures.back() != picture) {
            pictures << picture;
        }
    }
    return pictures;
}

QStringList Form1Harness::Tips() const {
    QStringList tips;
    for (const TrayCall& call : *trayLog) {
        if ((call.Kind == "add" || call.Kind == "modify") && !call.Tip.isEmpty() &&
            (tips.isEmpty() || tips.back() != call.Tip)) {
            tips << call.Tip;
        }
    }
    return tips;
}

QStringList Form1Harness::Balloons() const {
    QStringList balloons;
    for (const TrayCall& call : *trayLog) {
        if (call.Kind == "message") {
            balloons << call.Tip;
        }
    }
    return balloons;
}
