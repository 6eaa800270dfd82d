#include "core/link/Timing.h"

#include <cerrno>
#include <ctime>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

void SleepUntil(MonotonicClock::time_point deadline)
{
    // steady_clock is CLOCK_MONOTONIC with glibc, so its time_since_epoch
    // is the absolute time clock_nanosleep expects.
    const auto since = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds.count());
    ts.tv_nsec = static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        SleepUntil(MonotonicClock::now() + std::chrono::milliseconds(milliseconds));
}

void UsePreciseTimers()
{
#if defined(__linux__)
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}
