#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "IPWatch.h"
#include "QueuedUiDispatcher.h"
#include "ScriptedStack.h"
#include "TempDir.h"

namespace {

using Addresses = std::vector<std::string>;

class IPWatchTest : public ::testing::Test {
  protected:
    IPWatchTest() : script_(std::make_shared<StackScript>()) {}

    std::unique_ptr<TIPWatch> MakeWatch() {
        auto watch = std::make_unique<TIPWatch>(ScriptedFactory(script_), dispatcher_);
        watch->SetHistoryEnabled(false);
        watch->SetOnStatusChanged([this](TIPWatch&) { ++notifications_; });
        return watch;
    }

    // One check per answer; an empty optional is a failing lookup.
    void CheckWith(TIPWatch& watch, std::optional<Addresses> answer) {
        script_->Answers.push_back(std::move(answer));
        watch.CheckAddress();
    }

    // Goes online with `address` and offline again.
    void OnlinePeriod(TIPWatch& watch, const std::string& address) {
        CheckWith(watch, Addresses{address});
        CheckWith(watch, Addresses{"127.0.0.1"});
    }

    std::shared_ptr<StackScript> script_;
    QueuedUiDispatcher dispatcher_;
    int notifications_ = 0;
};

TEST_F(IPWatchTest, StartsInactiveOfflineWithDefaults) {
    TIPWatch watch(ScriptedFactory(script_), dispatcher_);
    EXPECT_FALSE(watch.Active());
    EXPECT_TRUE(watch.HistoryEnabled());
    EXPECT_EQ(watch.HistoryFilename(), "iphist.dat");
    EXPECT_EQ(watch.MaxHistoryEntries(), 25);
    EXPECT_EQ(watch.WatchInterval(), 1000u);
    EXPECT_FALSE(watch.Online());
    EXPECT_EQ(watch.CurrentAddress(), "");
    EXPECT_EQ(watch.PriorAddress(), "");
    EXPECT_TRUE(watch.AddressHistory().empty());
    EXPECT_FALSE(watch.LookupBusy());
    EXPECT_EQ(script_->Lookups, 0);
    watch.SetHistoryEnabled(false);  // keep the working folder clean
}

struct CheckStep {
    std::optional<Addresses> Answer;  // none: the lookup fails
    bool Online;
    std::string Current;
    std::string Prior;
    Addresses History;
    int Notifications;
};

struct ScenarioRow {
    const char* Name;
    std::vector<CheckStep> Steps;
};

void PrintTo(const ScenarioRow& row, std::ostream* out) {
    *out << row.Name;
}

class IPWatchStateTest : public IPWatchTest, public ::testing::WithParamInterface<ScenarioRow> {};

TEST_P(IPWatchStateTest, FollowsTheStateTable) {
    auto watch = MakeWatch();
    int step = 0;
    for (const CheckStep& expected : GetParam().Steps) {
        SCOPED_TRACE("step " + std::to_string(++step));
        CheckWith(*watch, expected.Answer);
        EXPECT_EQ(watch->Online(), expected.Online);
        EXPECT_EQ(watch->CurrentAddress(), expected.Current);
        EXPECT_EQ(watch->PriorAddress(), expected.Prior);
        EXPECT_EQ(watch->AddressHistory(), expected.History);
        EXPECT_EQ(notifications_, expected.Notifications);
        EXPECT_FALSE(watch->LookupBusy());
    }
}

const std::string kA = "192.168.0.5";
const std::string kB = "10.0.0.7";

INSTANTIATE_TEST_SUITE_P(
    Rows, IPWatchStateTest,
    ::testing::Values(ScenarioRow{"LoopbackStaysOffline",
                                  {{Addresses{"127.0.0.1"}, false, "127.0.0.1", "", {}, 0}}},
                      ScenarioRow{"OtherLoopbackCountsOnline",
                                  {{Addresses{"127.0.1.1"}, true, "127.0.1.1", "", {}, 1}}},
                      ScenarioRow{"OnlyTheFirstAddressCounts",
                                  {{Addresses{kA, "127.0.0.1"}, true, kA, "", {}, 1},
                                   {Addresses{"127.0.0.1", kB}, false, "127.0.0.1", kA, {kA}, 2}}},
                      ScenarioRow{"FailedLookupChangesNothing",
                                  {{std::nullopt, false, "", "", {}, 0},
                                   {Addresses{kA}, true, kA, "", {}, 1},
                                   {std::nullopt, true, kA, "", {}, 1},
                                   {Addresses{}, true, kA, "", {}, 1}}},
                      ScenarioRow{"GoingOfflineRecordsTheAddress",
                                  {{Addresses{kA}, true, kA, "", {}, 1},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kA, {kA}, 2},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kA, {kA}, 2}}},
                      ScenarioRow{"AddressChangeWhileOnlineIsSilent",
                                  {{Addresses{kA}, true, kA, "", {}, 1},
                                   {Addresses{kB}, true, kB, "", {}, 1},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kB, {kB}, 2}}},
                      ScenarioRow{"EmptyAddressIsOfflineAndKeepsThePrior",
                                  {{Addresses{kA}, true, kA, "", {}, 1},
                                   {Addresses{""}, false, "", kA, {kA}, 2}}},
                      ScenarioRow{"SameAddressTwiceIsRecordedOnce",
                                  {{Addresses{kA}, true, kA, "", {}, 1},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kA, {kA}, 2},
                                   {Addresses{kA}, true, kA, kA, {kA}, 3},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kA, {kA}, 4},
                                   {Addresses{kB}, true, kB, kA, {kA}, 5},
                                   {Addresses{"127.0.0.1"}, false, "127.0.0.1", kB, {kA, kB}, 6}}}),
    [](const ::testing::TestParamInfo<ScenarioRow>& info) { return info.param.Name; });

TEST_F(IPWatchTest, HistoryKeepsTheNewest25) {
    auto watch = MakeWatch();
    for (int i = 1; i <= 26; ++i) {
        OnlinePeriod(*watch, "10.0.0." + std::to_string(i));
    }
    ASSERT_EQ(watch->AddressHistory().size(), 25u);
    EXPECT_EQ(watch->AddressHistory().front(), "10.0.0.2");
    EXPECT_EQ(watch->AddressHistory().back(), "10.0.0.26");
}

TEST_F(IPWatchTest, LoweringMaxHistoryEntriesDropsTheOldest) {
    auto watch = MakeWatch();
    for (int i = 1; i <= 10; ++i) {
        OnlinePeriod(*watch, "10.0.0." + std::to_string(i));
    }
    watch->SetMaxHistoryEntries(3);
    EXPECT_EQ(watch->AddressHistory(), (Addresses{"10.0.0.8", "10.0.0.9", "10.0.0.10"}));
    OnlinePeriod(*watch, kA);
    EXPECT_EQ(watch->AddressHistory(), (Addresses{"10.0.0.9", "10.0.0.10", kA}));
}

TEST_F(IPWatchTest, ZeroOrNegativeMaxHistoryEntriesKeepsNone) {
    for (std::int32_t limit : {0, -1, -1000}) {
        SCOPED_TRACE(limit);
        auto watch = MakeWatch();
        OnlinePeriod(*watch, kB);
        watch->SetMaxHistoryEntries(limit);
        EXPECT_TRUE(watch->AddressHistory().empty());
        OnlinePeriod(*watch, kA);
        EXPECT_TRUE(watch->AddressHistory().empty());
        EXPECT_EQ(watch->PriorAddress(), kA);
    }
}

TEST_F(IPWatchTest, FailingStatusHandlerIsAbsorbedAfterTheUpdate) {
    auto watch = MakeWatch();
    int calls = 0;
    watch->SetOnStatusChanged([&](TIPWatch& sender) {
        EXPECT_EQ(&sender, watch.get());
        ++calls;
        throw std::runtime_error("handler failed");
    });
    EXPECT_NO_THROW(CheckWith(*watch, Addresses{kA}));
    EXPECT_NO_THROW(CheckWith(*watch, Addresses{"127.0.0.1"}));
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(watch->Online());
    EXPECT_EQ(watch->AddressHistory(), Addresses{kA});
}

TEST_F(IPWatchTest, CheckDuringALookupDoesNothing) {
    auto watch = MakeWatch();
    bool busyInside = false;
    bool reentered = false;
    script_->DuringLookup = [&] {
        busyInside = watch->LookupBusy();
        if (!reentered) {
            reentered = true;
            watch->CheckAddress();  // re-entered, as from a nested message loop
        }
    };
    CheckWith(*watch, Addresses{kA});
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(script_->Lookups, 1);
    EXPECT_EQ(notifications_, 1);
    EXPECT_FALSE(watch->LookupBusy());
}

TEST_F(IPWatchTest, DestructionWhileOnlineStoresTheCurrentAddress) {
    TempDir dir;
    struct Row {
        const char* Name;
        std::vector<std::string> Periods;  // completed online periods
        std::string OnlineAt;              // empty: offline at destruction
        std::string Expected;
    };
    const Row rows[] = {
        {"online appends", {kB}, kA, kB + "\r\n" + kA + "\r\n"},
        {"equal to last is not repeated", {kA}, kA, kA + "\r\n"},
        {"offline writes what is kept", {kA, kB}, "", kA + "\r\n" + kB + "\r\n"},
        {"empty history writes an empty file", {}, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const auto file = dir / (std::string(row.Name) + ".dat");
        {
            auto watch = MakeWatch();
            watch->SetHistoryEnabled(true);
            watch->SetHistoryFilename(file.string());
            for (const std::string& address : row.Periods) {
                OnlinePeriod(*watch, address);
            }
            if (!row.OnlineAt.empty()) {
                CheckWith(*watch, Addresses{row.OnlineAt});
            }
        }
        EXPECT_EQ(ReadBytes(file), row.Expected);
    }
}

TEST_F(IPWatchTest, HistoryDisabledWritesNoFile) {
    TempDir dir;
    const auto file = dir / "iphist.dat";
    {
        auto watch = MakeWatch();
        watch->SetHistoryFilename(file.string());
        OnlinePeriod(*watch, kA);
        CheckWith(*watch, Addresses{kB});
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(IPWatchTest, HistoryReplacesAnOlderFile) {
    TempDir dir;
    const auto file = dir / "iphist.dat";
    WriteBytes(file, "old contents that are longer than the new ones\r\n");
    {
        auto watch = MakeWatch();
        watch->SetHistoryEnabled(true);
        watch->SetHistoryFilename(file.string());
        OnlinePeriod(*watch, kA);
    }
    EXPECT_EQ(ReadBytes(file), kA + "\r\n");
}

TEST_F(IPWatchTest, FailedHistoryWriteIsReportedByStoreHistoryAndSurvivedAtDestruction) {
    TempDir dir;
    auto watch = MakeWatch();
    watch->SetHistoryEnabled(true);
    watch->SetHistoryFilename((dir / "missing" / "iphist.dat").string());
    OnlinePeriod(*watch, kA);
    EXPECT_THROW(watch->StoreHistory(), EInOutError);
    EXPECT_NO_THROW(watch.reset());
}

}  // namespace
