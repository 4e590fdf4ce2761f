#pragma once

#include <cstdint>

#include "core/Clock.h"

// A clock that stands still until the test moves it. It keeps whole seconds,
// so any number of steps lands exactly on the expected minute.
class FakeClock final : public Clock {
  public:
    // Sets the clock to the given local date and time.
    void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    void AdvanceMinutes(int minutes) { seconds_ += int64_t{60} * minutes; }
    void AdvanceSeconds(int seconds) { seconds_ += seconds; }
    void AdvanceDays(int days) { day_ += days; }
    // Calendar months: 31 January plus one month is the last day of February.
    void AdvanceMonths(int months);
    TDateTime Now() const override { return day_ + static_cast<double>(seconds_) / 86400.0; }

  private:
    TDateTime day_ = 0;
    int64_t seconds_ = 0;
};
