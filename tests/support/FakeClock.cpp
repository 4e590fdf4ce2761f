#include "FakeClock.h"

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
    now_ = EncodeDateTime(year, month, day, hour, minute, second);
}

void FakeClock::AdvanceMinutes(int minutes) { now_ = AddMinutes(now_, minutes); }
