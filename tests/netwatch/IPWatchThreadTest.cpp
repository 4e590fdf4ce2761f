#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FakeSleeper.h"
#include "IPWatch.h"
#include "NetThread.h"
#include "QueuedUiDispatcher.h"
#include "ScriptedStack.h"

namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;
using Addresses = std::vector<std::string>;

// Generous: the thread tests also run under ThreadSanitizer on a busy machine.
constexpr auto kPatience = 10s;

class WatchThreadTest : public ::testing::Test {
  protected:
    WatchThreadTest() : script_(std::make_shared<StackScript>()) { script_->Log = &log_; }

    std::unique_ptr<TIPWatch> MakeWatch(SliceSleeper& sleeper) {
        auto watch = std::make_unique<TIPWatch>(ScriptedFactory(script_), dispatcher_, sleeper);
        watch->SetHistoryEnabled(false);
        return watch;
    }

    // Plays the UI thread: runs `count` handed-over checks.
    void RunChecks(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(dispatcher_.RunNext(kPatience)) << "no check handed over";
        }
    }

    static Events Pattern(std::initializer_list<int> slices) {
        Events events;
        for (int slice : slices) {
            events.push_back("sleep " + std::to_string(slice));
            events.push_back("check");
        }
        return events;
    }

    EventLog log_;
    std::shared_ptr<StackScript> script_;
    QueuedUiDispatcher dispatcher_;
};

TEST_F(WatchThreadTest, ACheckFollowsEachSliceOf500) {
    FakeSleeper sleeper(log_, 4);
    auto watch = MakeWatch(sleeper);
    script_->Steady = Addresses{"10.200.0.2"};
    watch->SetActive(true);
    EXPECT_FALSE(watch->Online());  // nothing checked before the first slice
    EXPECT_EQ(watch->CurrentAddress(), "");
    RunChecks(4);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), Pattern({500, 500, 500, 500}));
    EXPECT_TRUE(watch->Online());
    EXPECT_EQ(watch->CurrentAddress(), "10.200.0.2");
}

TEST_F(WatchThreadTest, IntervalOf1200SleepsInSlicesOf500And200) {
    FakeSleeper sleeper(log_, 6);
    auto watch = MakeWatch(sleeper);
    watch->SetWatchInterval(1200);
    watch->SetActive(true);
    RunChecks(6);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), Pattern({500, 500, 200, 500, 500, 200}));
}

TEST_F(WatchThreadTest, NewIntervalTakesEffectAtTheNextPassAndSurvivesDeactivation) {
    FakeSleeper sleeper(log_, 5);
    auto watch = MakeWatch(sleeper);
    watch->SetActive(true);
    RunChecks(1);
    watch->SetWatchInterval(1200);  // the pass under way keeps 1000
    RunChecks(4);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), Pattern({500, 500, 500, 500, 200}));

    sleeper.Grant(3);
    watch->SetActive(true);
    RunChecks(3);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), Pattern({500, 500, 500, 500, 200, 500, 500, 200}));
}

TEST_F(WatchThreadTest, ZeroIntervalIdlesWithoutChecks) {
    FakeSleeper sleeper(log_, 3);
    auto watch = MakeWatch(sleeper);
    watch->SetWatchInterval(0);
    watch->SetActive(true);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    EXPECT_FALSE(dispatcher_.WaitForCall(0ms));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), (Events{"sleep 500", "sleep 500", "sleep 500"}));
    EXPECT_EQ(script_->Lookups, 0);
}

TEST_F(WatchThreadTest, IntervalBeyondTheSignedRangeStillChecksEverySlice) {
    FakeSleeper sleeper(log_, 2);
    auto watch = MakeWatch(sleeper);
    watch->SetWatchInterval(3'000'000'000u);
    watch->SetActive(true);
    RunChecks(2);
    ASSERT_TRUE(sleeper.WaitUntilExhausted(kPatience));
    watch->SetActive(false);
    EXPECT_EQ(log_.Events(), Pattern({500, 500}));
}

TEST_F(WatchThreadTest, DeactivatingRunsTheQueuedCheckAndReturnsPromptly) {
    auto watch = MakeWatch(SystemSleeper());
    script_->Steady = Addresses{"10.200.0.2"};
    watch->SetActive(true);
    ASSERT_TRUE(dispatcher_.WaitForCall(kPatience));  // a check waits, not yet run
    EXPECT_EQ(script_->Lookups, 0);
    const auto start = std::chrono::steady_clock::now();
    watch->SetActive(false);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(script_->Lookups, 1);
    EXPECT_TRUE(watch->Online());
    EXPECT_LT(took, 500ms);
}

TEST_F(WatchThreadTest, DeactivatingInTheMiddleOfASliceReturnsPromptly) {
    auto watch = MakeWatch(SystemSleeper());
    watch->SetWatchInterval(60'000);
    watch->SetActive(true);
    std::this_thread::sleep_for(50ms);  // let the thread enter its first slice
    const auto start = std::chrono::steady_clock::now();
    watch->SetActive(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 400ms);
    EXPECT_EQ(script_->Lookups, 0);
}

TEST_F(WatchThreadTest, RealSleeperPacesChecksAboutHalfASecondApart) {
    auto watch = MakeWatch(SystemSleeper());
    watch->SetActive(true);
    const auto start = std::chrono::steady_clock::now();
    RunChecks(2);
    const auto took = std::chrono::steady_clock::now() - start;
    watch->SetActive(false);
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 5s);
}

TEST_F(WatchThreadTest, StartingAndStoppingManyTimesNeverDeadlocks) {
    // Slices return at once, so the thread hands over a check whenever it can
    // and the UI thread stops it at every possible moment. A deadlock hangs
    // here until the test's time limit.
    EventLog unused;
    std::mt19937 random(12345);
    script_->Log = nullptr;
    int ran = 0;
    for (int round = 0; round < 200; ++round) {
        FakeSleeper sleeper(unused, 1'000'000);
        auto busy = MakeWatch(sleeper);
        busy->SetActive(true);
        const int checks = static_cast<int>(random() % 4);
        for (int i = 0; i < checks; ++i) {
            ASSERT_TRUE(dispatcher_.RunNext(kPatience));
            ++ran;
        }
        if (random() % 2 == 0) {
            busy->SetActive(false);
            EXPECT_FALSE(busy->Active());
        }  // else destruction stops it
    }
    EXPECT_GE(script_->Lookups, ran);
    EXPECT_EQ(StackUsers(), 0);
    EXPECT_FALSE(dispatcher_.WaitForCall(0ms));
}

TEST_F(WatchThreadTest, HandlerMayDeactivateTheWatcherFromInsideACheck) {
    FakeSleeper sleeper(log_, 1'000'000);
    auto watch = MakeWatch(sleeper);
    script_->Log = nullptr;
    script_->Steady = Addresses{"10.200.0.2"};
    watch->SetOnStatusChanged([](TIPWatch& sender) { sender.SetActive(false); });
    watch->SetActive(true);
    RunChecks(1);
    EXPECT_FALSE(watch->Active());
    EXPECT_TRUE(watch->Online());
    // The stopped thread hands over nothing more, and reactivation works.
    EXPECT_FALSE(dispatcher_.RunNext(100ms));
    watch->SetOnStatusChanged(nullptr);
    script_->Steady = Addresses{"127.0.0.1"};
    watch->SetActive(true);
    RunChecks(1);
    EXPECT_FALSE(watch->Online());
    watch->SetActive(false);
}

class FailingThread final : public TNetThread {
  public:
    FailingThread(UiDispatcher& dispatcher, bool failOnUiThread)
        : TNetThread(dispatcher), failOnUiThread_(failOnUiThread) {}
    ~FailingThread() override { StopAndWait(); }
    std::atomic<int> afterPasses{0};

  protected:
    void RunPass(std::stop_token) override {
        if (failOnUiThread_) {
            HandOver([] { throw EStackError("failed on the UI thread"); });
        }
        throw ESocketError(10050, "failed in the pass");
    }
    void AfterPasses() override { ++afterPasses; }

  private:
    bool failOnUiThread_;
};

TEST(NetThreadTest, AnErrorEndsTheBodyAndIsReported) {
    struct Row {
        bool FailOnUiThread;
        const char* Expected;
    };
    for (const Row& row :
         {Row{false, "failed in the pass"}, Row{true, "failed on the UI thread"}}) {
        SCOPED_TRACE(row.Expected);
        QueuedUiDispatcher dispatcher;
        FailingThread thread(dispatcher, row.FailOnUiThread);
        std::promise<std::string> reported;
        thread.OnFailure = [&](TNetThread& sender, const std::exception& error) {
            EXPECT_EQ(&sender, &thread);
            reported.set_value(error.what());
        };
        EXPECT_TRUE(thread.Halted());
        thread.Launch();
        EXPECT_FALSE(thread.Halted());
        if (row.FailOnUiThread) {
            ASSERT_TRUE(dispatcher.RunNext(kPatience));
        }
        auto future = reported.get_future();
        ASSERT_EQ(future.wait_for(kPatience), std::future_status::ready);
        EXPECT_EQ(future.get(), row.Expected);
        thread.StopAndWait();
        EXPECT_TRUE(thread.Finished());
        EXPECT_TRUE(thread.Halted());
        EXPECT_EQ(thread.FailureText(), row.Expected);
        EXPECT_EQ(thread.afterPasses.load(), 1);
    }
}

TEST(NetThreadTest, HeldThreadNeverLaunchedStopsAtOnce) {
    QueuedUiDispatcher dispatcher;
    FailingThread thread(dispatcher, false);
    EXPECT_TRUE(thread.Halted());
    thread.StopAndWait();
    EXPECT_TRUE(thread.Finished());
    thread.Launch();  // a stopped thread does not start again
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(thread.FailureText(), "");
}

}  // namespace
