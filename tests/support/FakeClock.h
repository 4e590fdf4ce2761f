#pragma once

#include "Clock.h"

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(TDateTime now = 0) : now_(now) {}
    // Sets the clock to the given local date and time.
    void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    void AdvanceMinutes(int minutes);
    TDateTime Now() const override { return now_; }

private:
    TDateTime now_;
};
