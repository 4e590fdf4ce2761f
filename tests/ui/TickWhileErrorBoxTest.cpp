// The minute tick goes on while an error box waits for its OK. A box is
// modal: the event loop runs inside it, and Qt never re-enters a timer whose
// handler is still running, so a tick connected directly would stop every
// later tick until someone closes the box (minutes online lost meanwhile).
#include "FakeClock.h"
#include "RecordingTrayShell.h"
#include "TempDir.h"
#include "UiFakes.h"
#include "Unit1.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

// Error boxes that keep the event loop running for a while, as a real box
// does until the user answers it; counts the boxes shown meanwhile.
class WaitingBoxes final : public NullBoxes {
  public:
    void Error(const std::string&, const std::string& text) override {
        errors.push_back(text);
        if (errors.size() > 1) {
            return;
        }
        QEventLoop waiting;
        QTimer::singleShot(300, &waiting, &QEventLoop::quit);
        waiting.exec();
        shownWhileFirstOpen = errors.size() - 1;
    }

    std::vector<std::string> errors;
    std::size_t shownWhileFirstOpen = 0;
};

TEST(TickWhileErrorBox, TicksGoOnCountingAndReportingWhileAnErrorBoxWaits) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Res");
    for (const char* icon : {"OnLine.ico", "OffLine.ico"}) {
        std::filesystem::copy_file(std::filesystem::path(VIMO_RES_DIR) / icon, dir / "Res" / icon);
    }
    FakeClock clock;
    clock.Set(2004, 8, 15, 10, 0, 0);
    WaitingBoxes boxes;
    FakePlatform platform;
    FakeAutostart autostart;
    FakeSaveDialog saveDialog;
    auto online = std::make_unique<ScriptedOnline>();
    online->online = true;
    online->address = "10.0.0.2";
    TForm1 form(Form1Services{clock, boxes, platform, autostart, saveDialog, dir.Path()},
                std::move(online),
                std::make_unique<RecordingTrayShell>(std::make_shared<RecordingTrayShell::Log>()));
    ASSERT_TRUE(boxes.errors.empty());

    // A folder standing where the table file belongs fails every online tick.
    std::filesystem::remove(dir / "Table.dat");
    std::filesystem::create_directory(dir / "Table.dat");
    form.Timer1()->setInterval(10);
    QEventLoop running;
    QTimer::singleShot(400, &running, &QEventLoop::quit);
    running.exec();

    EXPECT_GE(boxes.shownWhileFirstOpen, 3u);
    EXPECT_GE(form.Meter().SessionMinutes(), boxes.shownWhileFirstOpen + 1);
    for (const std::string& text : boxes.errors) {
        EXPECT_EQ(text, "File access denied.");
    }
}

}  // namespace
