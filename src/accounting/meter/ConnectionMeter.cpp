#include "meter/ConnectionMeter.h"

#include "core/Errors.h"
#include "files/LeftoverFiles.h"
#include "files/SessionLineFields.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

ConnectionMeter::ConnectionMeter(const Clock& clock, std::filesystem::path workDir,
                                 std::string osName, const ByteCounters* counters)
    : clock_(clock),
      workDir_(std::move(workDir)),
      table_(workDir_),
      log_(workDir_, clock, std::move(osName)),
      plan_(workDir_, CostStore::Access::ReadWrite),
      counters_(counters),
      books_(table_, prop_, plan_, &log_, &session_) {}

std::filesystem::path ConnectionMeter::PathOf(std::string_view name) const {
    return workDir_ / name;
}

void ConnectionMeter::LoadTable() {
    heldFolder_.emplace(workDir_);
    RemoveLeftoverTemporaryFiles(workDir_);
    table_.LoadTable();
}

bool ConnectionMeter::PropFileExists() const {
    return ::PropFileExists(workDir_);
}

void ConnectionMeter::ReadProp() {
    prop_ = ReadPropFile(workDir_);
}

TPropRecord ConnectionMeter::SaveProp(const TPropRecord& record) {
    prop_ = record;
    return WritePropFile(workDir_, record, clock_);
}

std::vector<AlertNotice> ConnectionMeter::UnshownAlerts() const {
    return plan_.UnshownAlerts(table_, prop_.MinuteCost, clock_.Now());
}

void ConnectionMeter::ConnectionSeen(const std::string& interface) {
    if (counters_ == nullptr || interface.empty()) {
        return;
    }
    readInterface_ = interface;
    lastReading_ = counters_->Read(interface);
}

CostStore::Bytes ConnectionMeter::ReadBytes(const std::string& interface) {
    if (counters_ == nullptr || interface.empty()) {
        return {};
    }
    const std::optional<ByteReading> now = counters_->Read(interface);
    if (!now) {
        // Gone: when it comes back it is a new interface, whose counters
        // start from 0.
        readInterface_ = interface;
        lastReading_ = ByteReading{};
        return {};
    }
    // A connection seen on one interface and counted on another (or one
    // the watcher was not told of) starts from this reading.
    ByteReading moved;
    if (interface == readInterface_ && lastReading_) {
        moved = BytesMoved(*lastReading_, *now);
    }
    readInterface_ = interface;
    lastReading_ = now;
    // Counters are 64-bit; what a minute moves fits a signed count.
    constexpr uint64_t kMost = uint64_t{1} << 62;
    return {static_cast<int64_t>(std::min(moved.Received, kMost)),
            static_cast<int64_t>(std::min(moved.Sent, kMost))};
}

TickResult ConnectionMeter::Tick(bool online, const std::string& address,
                                 const std::string& interface) {
    TickResult result;
    result.Plan = plan_.Reload();
    // Read before the tick records anything: figures built without the
    // store, or without the ticks still waiting for it, change with it.
    const bool storeWasDown = plan_.StoreDown();
    const std::optional<TDateTime> waitingFrom = plan_.FirstWaitingDay();
    bool recorded = false;
    // Each file of the tick is tried on its own: one that fails (a full
    // disk, a file made read-only) does not keep the others from being
    // written. The first failure is the one reported.
    const auto step = [&result](auto&& action) {
        try {
            action();
        } catch (...) {
            if (!result.Error) {
                result.Error = std::current_exception();
            }
        }
    };
    if (online) {
        step([&] {
            if (!session_.Open) {
                Open(address, result);
            }
            ++session_.Minutes;
            table_.UpdateTable(clock_);
            tableBehind_ = true;
            result.MinuteCounted = true;
        });
    }
    // The table goes first, so that a run killed between the files never
    // has the history count a minute the table lacks. Minutes counted while
    // it could not be written reach it at the next tick, online or not.
    if (tableBehind_) {
        step([&] {
            CheckFolder();
            table_.SaveTable();
            tableBehind_ = false;
        });
    }
    // The session's line follows the table, and the plan's record of the
    // tick comes last: a run killed between them leaves a minute counted but
    // unpriced, which is then priced at the settings record's tariff, and
    // never a connection in "Vimo.db" (with its fee) that no line names.
    // A connection that has just ended records what it moved since the last
    // tick.
    if (result.MinuteCounted) {
        step([&] {
            CheckFolder();
            log_.SaveNewTimeToFile(session_.Minutes);
        });
    }
    if (result.MinuteCounted || (!online && session_.Open)) {
        step([&] {
            CheckFolder();
            PlanAccount::TickUse use;
            use.Tick = clock_.Now();
            use.MinuteCounted = result.MinuteCounted;
            use.FirstOfSession = result.SessionOpened;
            use.SessionHead = SessionKey(log_.SessionHead());
            if (counters_ != nullptr) {
                use.Moved = ReadBytes(online ? interface : readInterface_);
                use.BytesRead = true;
            }
            recorded = true;
            result.Alerts = plan_.RecordTick(table_, prop_.MinuteCost, use);
        });
    }
    if (!online && session_.Open) {
        step([&] { Close(result); });
    }
    result.StoreFault = plan_.StoreFault();
    if (result.Plan.Changed || storeWasDown || result.StoreFault) {
        result.Changed.Every = true;
    } else if (result.MinuteCounted || recorded) {
        const TDateTime today = std::floor(clock_.Now());
        result.Changed.Days = DayRange{waitingFrom ? std::min(*waitingFrom, today) : today, today};
    }
    return result;
}

// The session counts as open only once its start is recorded: a failing
// step here leaves no session without a start line, and the next tick tries
// again.
void ConnectionMeter::Open(const std::string& address, TickResult& result) {
    CheckFolder();
    log_.SaveFirstDTime(address);
    session_.Open = true;
    result.SessionOpened = true;
}

void ConnectionMeter::Close(TickResult& result) {
    try {
        CheckFolder();
        log_.CloseSession();
    } catch (const EInOutError& error) {
        // A current-session file deleted by hand cannot come back: report it
        // once and close the session, or every offline minute would raise
        // the same error again. Other failures (a history that cannot be
        // written) keep the session open to try again.
        if (error.Code == EInOutError::kFileNotFound) {
            EndSession(result);
        }
        throw;
    }
    EndSession(result);
}

void ConnectionMeter::CheckFolder() const {
    if (heldFolder_ && !heldFolder_->StandsAt(workDir_)) {
        throw InOutErrorFromErrno(ENOENT);
    }
}

void ConnectionMeter::EndSession(TickResult& result) {
    session_.Open = false;
    session_.Minutes = 0;
    result.SessionClosed = true;
}

StopStep ConnectionMeter::LookAtStop() {
    return stop_.Look(table_, prop_.MinuteCost, clock_.Now(),
                      session_.Open ? std::string_view(log_.SessionHead()) : std::string_view());
}

void ConnectionMeter::AdjustToProvider(const PlanAccount::ProviderFigures& figures) {
    plan_.Adjust(table_, prop_.MinuteCost, clock_.Now(), figures);
}
