// Preloaded before libfaketime in the end-to-end test only. libfaketime fakes
// the monotonic clock but not pthread_cond_clockwait, so a thread that waits
// until "now + 500 ms" on the faked clock would wait for years of real time.
// This turns such a deadline into the same remaining time, divided by the
// speed-up in FAKETIME ("... x60"), on the real clock.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using ClockWait = int (*)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*);

int64_t Nanoseconds(const timespec& t) {
    return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

double SpeedUp() {
    const char* setting = std::getenv("FAKETIME");
    const char* x = setting != nullptr ? std::strrchr(setting, 'x') : nullptr;
    const double speed = x != nullptr ? std::atof(x + 1) : 1.0;
    return speed > 0 ? speed : 1.0;
}

}  // namespace

extern "C" int pthread_cond_clockwait(pthread_cond_t* cond, pthread_mutex_t* mutex, clockid_t clock,
                                      const timespec* deadline) {
    static const auto real =
        reinterpret_cast<ClockWait>(dlsym(RTLD_NEXT, "pthread_cond_clockwait"));
    timespec fakeNow{};
    clock_gettime(clock, &fakeNow);  // resolved to libfaketime's
    timespec realNow{};
    syscall(SYS_clock_gettime, clock, &realNow);
    int64_t remaining = Nanoseconds(*deadline) - Nanoseconds(fakeNow);
    remaining =
        remaining > 0 ? static_cast<int64_t>(static_cast<double>(remaining) / SpeedUp()) : 0;
    const int64_t target = Nanoseconds(realNow) + remaining;
    const timespec realDeadline{static_cast<time_t>(target / 1'000'000'000),
                                static_cast<long>(target % 1'000'000'000)};
    return real(cond, mutex, clock, &realDeadline);
}
