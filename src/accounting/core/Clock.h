#pragma once

#include "core/DateTime.h"

// The local date and time, as a date-time. Production uses SystemClock; tests
// put a fake clock on any date and time.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual TDateTime Now() const = 0;
};

class SystemClock final : public Clock {
  public:
    TDateTime Now() const override;
};

// Today's month and year numbers.
int CurrentMonth(const Clock& clock);
int CurrentYear(const Clock& clock);
