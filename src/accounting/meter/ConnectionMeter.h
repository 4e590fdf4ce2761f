#pragma once

#include "core/ByteCounters.h"
#include "core/Clock.h"
#include "files/FileIO.h"
#include "files/PropRecord.h"
#include "files/SessionLog.h"
#include "files/UsageTable.h"
#include "meter/Ledger.h"
#include "plan/PlanAccount.h"
#include "plan/StopAtBudget.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What one minute tick changed, for the screen to follow.
struct TickResult {
    bool SessionOpened = false;
    bool SessionClosed = false;
    bool MinuteCounted = false;
    // The budget alerts the minute raised, to be shown as notifications and
    // then handed back to AlertsShown.
    std::vector<AlertNotice> Alerts;
    // The tick's first failure. The flags above tell which steps were done;
    // a file that failed is written again at the next tick.
    std::exception_ptr Error;
    // A new fault of "Vimo.db", once for each cause (see PlanAccount): the
    // minutes wait in memory and are recorded once it can be written.
    std::exception_ptr StoreFault;
    // "Vimo.toml" changed; its fault when the new version cannot be taken.
    PlanReload Plan;
    // The days whose figures the tick changed, for a screen to rebuild.
    DayChange Changed;
};

// The connection meter: the minute tick's two-state session machine over the
// usage table, the session files and the settings record, all kept in one
// working folder. Plain C++; the window only shows what it answers.
//
// The tick counts ticks, not elapsed time: each tick that finds the computer
// online adds exactly one minute. A session opens at the first online tick
// (carrying over a session an earlier run left open) and closes at the first
// offline one.
class ConnectionMeter {
  public:
    // `workDir` is absolute (see RestoreWorkDir); `osName` is the
    // nine-character system label of the session lines. With `counters`,
    // the bytes of each connection are kept in "Vimo.db" too.
    ConnectionMeter(const Clock& clock, std::filesystem::path workDir, std::string osName,
                    const ByteCounters* counters = nullptr);
    // Its ledger reads its own members.
    ConnectionMeter(const ConnectionMeter&) = delete;
    ConnectionMeter& operator=(const ConnectionMeter&) = delete;

    const std::filesystem::path& WorkDir() const { return workDir_; }
    // A file of the working folder, by its name there.
    std::filesystem::path PathOf(std::string_view name) const;

    // Start-up: removes temporary files that killed runs left, then creates
    // missing table files and reads both. Throws EInOutError.
    void LoadTable();
    // The settings record. A record saved is in force at once, also when
    // writing its file then fails. SaveProp writes `record`, or the default
    // record when it is blank, and returns what it wrote.
    bool PropFileExists() const;
    void ReadProp();
    TPropRecord SaveProp(const TPropRecord& record);
    const TPropRecord& Prop() const { return prop_; }

    // The watcher has just seen the computer go online through `interface`:
    // the connection's bytes count from here, not from its first tick.
    void ConnectionSeen(const std::string& interface);

    // One minute tick, given what the watcher sees now: online or not, the
    // address and the interface that carries it. Never throws: a failure is
    // handed back in the result.
    TickResult Tick(bool online, const std::string& address, const std::string& interface = {});

    bool SessionOpen() const { return session_.Open; }
    uint32_t SessionMinutes() const { return session_.Minutes; }
    const TUsageTable& UsageTable() const { return table_; }
    const TSessionLog& SessionLog() const { return log_; }
    const PlanAccount& Plan() const { return plan_; }
    // What it has counted, for the figures to read.
    const Ledger& Books() const { return books_; }

    // Reads "Vimo.toml" again when it changed; its fault once per version.
    PlanReload ReloadPlan() { return plan_.Reload(); }
    // The alerts of the cycle recorded by an earlier run that ended before
    // it showed them; to be shown at start-up and handed to AlertsShown.
    std::vector<AlertNotice> UnshownAlerts() const;
    void AlertsShown(const std::vector<AlertNotice>& alerts) { plan_.AlertsShown(alerts); }
    // A fault "Vimo.db" had while the figures were read between ticks, once
    // for each cause; the next tick hands it out otherwise.
    std::exception_ptr StoreFault() { return plan_.StoreFault(); }

    // The stop at the budget, looked at now for the session open now.
    StopStep LookAtStop();
    StopAtBudget& BudgetStop() { return stop_; }
    const StopAtBudget& BudgetStop() const { return stop_; }
    // The provider's figures of the cycle so far, from now on the cycle's
    // use. Throws the store's errors.
    void AdjustToProvider(const PlanAccount::ProviderFigures& figures);

  private:
    void Open(const std::string& address, TickResult& result);
    // Throws "File not found" when the working folder is gone, also when a
    // new one was made under its name: the meter never writes into a folder
    // it did not start in.
    void CheckFolder() const;
    void Close(TickResult& result);
    void EndSession(TickResult& result);
    // The bytes `interface` moved since its last reading; none unread.
    CostStore::Bytes ReadBytes(const std::string& interface);

    const Clock& clock_;
    std::filesystem::path workDir_;
    TUsageTable table_;
    TSessionLog log_;
    TPropRecord prop_;
    PlanAccount plan_;
    StopAtBudget stop_{plan_};
    const ByteCounters* counters_;
    // The last reading of the interface the connection runs through.
    std::string readInterface_;
    std::optional<ByteReading> lastReading_;
    MeterSession session_;
    // Minutes are counted in memory that the table files do not hold yet.
    bool tableBehind_ = false;
    // The working folder as it stood at start-up.
    std::optional<HeldFolder> heldFolder_;
    Ledger books_;
};
