// The stop at the budget over a real meter and its "Vimo.db", on a fake
// clock: each row is a story of ticks, waits, answers and restarts, with
// what the stop does at each step and the phase it keeps.
#include "FakeClock.h"
#include "TempDir.h"
#include "files/FileIO.h"
#include "meter/ConnectionMeter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

enum class Do {
    Online,   // a minute passes online, then the stop is looked at
    Offline,  // ... offline
    Wait,     // `value` seconds pass, then the stop is looked at
    StopNow,  // the warning's answers
    Later,
    KeepCycle,
    Fail,       // the stop could not be made
    Restart,    // the program starts again, then the stop is looked at
    NextCycle,  // a month passes offline
    Adjust,     // the provider's minutes are `value`, then the stop is looked at
};

struct Step {
    Do what;
    StopStep expected = StopStep::None;
    // The phase kept after the step: "-" for none.
    const char* phase = "-";
    int value = 0;
};

const char* PhaseName(const std::optional<StopState>& stop) {
    if (!stop) {
        return "-";
    }
    static const char* const kNames[] = {"pending", "deferred", "declined", "stopped", "failed"};
    return kNames[static_cast<int>(stop->Phase)];
}

class BudgetStopTest : public testing::Test {
  protected:
    void Start() {
        meter.reset();
        meter.emplace(clock, dir->Path(), "Linux    ");
        meter->LoadTable();
        meter->SaveProp(meter->Prop());
        meter->ReloadPlan();
    }

    StopStep Run(const Step& step) {
        switch (step.what) {
            case Do::Online:
            case Do::Offline:
                clock.AdvanceMinutes(1);
                meter->Tick(step.what == Do::Online, "10.0.0.2");
                break;
            case Do::Wait:
                clock.AdvanceSeconds(step.value);
                break;
            case Do::StopNow:
                return meter->BudgetStop().Answer(StopAnswer::StopNow, clock.Now());
            case Do::Later:
                return meter->BudgetStop().Answer(StopAnswer::Later, clock.Now());
            case Do::KeepCycle:
                return meter->BudgetStop().Answer(StopAnswer::KeepThisCycle, clock.Now());
            case Do::Fail:
                meter->BudgetStop().Failed();
                return StopStep::None;
            case Do::Restart:
                Start();
                break;
            case Do::NextCycle:
                clock.AdvanceMonths(1);
                meter->Tick(false, "");
                break;
            case Do::Adjust:
                meter->AdjustToProvider({.Kopecks = {}, .Minutes = step.value, .Megabytes = {}});
                break;
        }
        return meter->LookAtStop();
    }

    std::optional<TempDir> dir;
    FakeClock clock;
    std::optional<ConnectionMeter> meter;
};

const char* const kNames[] = {"none", "warn", "stop"};

TEST_F(BudgetStopTest, WarnsThenStopsUnlessTheUserSaysOtherwise) {
    using enum Do;
    const StopStep W = StopStep::Warn;
    const StopStep S = StopStep::Stop;
    const struct {
        const char* story;
        const char* plan;
        std::vector<Step> steps;
    } rows[] = {
        {"at 150% of 2 minutes: a warning, the grace, the stop; a new connection is warned "
         "about again",
         "[budget]\nminutes = 2\nalerts = []\nstop_at = 150\nstop_grace = 60\n",
         {{Online},
          {Online},
          {Online, W, "pending"},
          {Wait, {}, "pending", 59},
          {Wait, S, "stopped", 1},
          {Offline, {}, "stopped"},
          {Online, W, "pending"},
          {Wait, S, "stopped", 60}}},
        {"the default grace is a minute, and the next tick is past it",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"}, {Online, S, "stopped"}}},
        {"no stop_at: never", "[budget]\nminutes = 1\n", {{Online}, {Online}}},
        {"going offline in the grace leaves nothing to stop",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"}, {Offline}, {Wait, {}, "-", 120}, {Online, W, "pending"}}},
        {"stop now",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"}, {StopNow, S, "stopped"}}},
        {"15 more minutes, then the warning again",
         "[budget]\nminutes = 1\nstop_at = 100\nstop_grace = 30\n",
         {{Online, W, "pending"},
          {Later, {}, "deferred"},
          {Wait, {}, "deferred", 14 * 60 + 59},
          {Wait, W, "pending", 1},
          {Wait, S, "stopped", 30}}},
        {"not this cycle holds across a restart; a new cycle stops again",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"},
          {KeepCycle, {}, "declined"},
          {Online, {}, "declined"},
          {Restart, {}, "declined"},
          {Online, {}, "declined"},
          {NextCycle},
          {Online, W, "pending"}}},
        {"a restart in the grace warns again before it stops; after a restart behind the stop, "
         "the connection it opens is warned about before it is stopped",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"},
          {Restart, {}, "pending"},
          {Online, W, "pending"},
          {Wait, S, "stopped", 60},
          {Restart, {}, "stopped"},
          {Online, W, "pending"}}},
        {"a stop that failed is not tried again in the cycle",
         "[budget]\nminutes = 1\nstop_at = 100\n",
         {{Online, W, "pending"},
          {StopNow, S, "stopped"},
          {Fail, {}, "failed"},
          {Offline, {}, "failed"},
          {Online, {}, "failed"},
          {Restart, {}, "failed"},
          {Online, {}, "failed"}}},
        {"the provider's figure brings the stop nearer",
         "[budget]\nminutes = 10\nstop_at = 100\n",
         {{Online},
          {Online},
          {Adjust, {}, "-", 8},
          {Online},
          {Adjust, {}, "-", 9},
          {Online, W, "pending"}}},
        {"a lower figure from the provider lifts a pending stop, and a reconnection is not "
         "warned about",
         "[budget]\nminutes = 3\nstop_at = 100\n",
         {{Online},
          {Online},
          {Online, W, "pending"},
          {Adjust, {}, "-", 1},
          {Online},
          {StopNow},
          {Online, W, "pending"},
          {StopNow, S, "stopped"},
          {Offline, {}, "stopped"},
          {Adjust, {}, "stopped", 0},
          {Online, {}, "stopped"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.story);
        meter.reset();
        dir.emplace();
        clock.Set(2026, 12, 8, 10, 0);
        WriteBytes(dir->Path() / "Vimo.toml", row.plan);
        Start();
        int number = 0;
        for (const Step& step : row.steps) {
            SCOPED_TRACE("step " + std::to_string(++number));
            const StopStep done = Run(step);
            EXPECT_STREQ(kNames[static_cast<int>(done)], kNames[static_cast<int>(step.expected)]);
            EXPECT_STREQ(PhaseName(meter->BudgetStop().State()), step.phase);
        }
    }
}

}  // namespace
