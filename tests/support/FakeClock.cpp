#include "FakeClock.h"

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
    day_ = EncodeDate(year, month, day);
    seconds_ = int64_t{3600} * hour + int64_t{60} * minute + second;
}
