#include "core/Clock.h"

#include <ctime>

TDateTime SystemClock::Now() const {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec) +
           static_cast<double>(now.tv_nsec / 1'000'000) / 86'400'000.0;
}

int CurrentMonth(const Clock& clock) {
    return DecodeDate(clock.Now()).Month;
}

int CurrentYear(const Clock& clock) {
    return DecodeDate(clock.Now()).Year;
}
