#include "core/link/Timing.h"

#include <cerrno>
#include <ctime>
#if defined(__linux__)
#include <sys/prctl.h>
#endif
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// After windows.h, which declares the types it uses.
#include <timeapi.h>
#endif

#ifdef _WIN32
void SleepUntil(MonotonicClock::time_point deadline)
{
    // Sleep takes whole milliseconds and may end up to one timer tick early
    // or late; sleeping the rest, rounded up, until the deadline has passed
    // keeps every wait at least as long as asked. With the 1 ms timer of a
    // transfer (PreciseTimerPeriod) it also ends within about a millisecond.
    for (;;) {
        const auto left = deadline - MonotonicClock::now();
        if (left <= MonotonicClock::duration::zero())
            return;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        Sleep(static_cast<DWORD>(ms));
    }
}

PreciseTimerPeriod::PreciseTimerPeriod()
    : active_(timeBeginPeriod(1) == TIMERR_NOERROR)
{}

PreciseTimerPeriod::~PreciseTimerPeriod()
{
    if (active_)
        timeEndPeriod(1);
}
#else
void SleepUntil(MonotonicClock::time_point deadline)
{
    // steady_clock is CLOCK_MONOTONIC with glibc, so its time_since_epoch
    // is the absolute time clock_nanosleep expects.
    const auto since = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds.count());
    ts.tv_nsec = static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {}
}

PreciseTimerPeriod::PreciseTimerPeriod() = default;
PreciseTimerPeriod::~PreciseTimerPeriod() = default;
#endif

namespace {

thread_local SimulatedWaits* t_simulatedWaits = nullptr;

} // namespace

SimulatedWaits::SimulatedWaits(std::function<void(std::chrono::milliseconds)> wait)
    : m_wait(std::move(wait))
    , m_previous(t_simulatedWaits)
{
    t_simulatedWaits = this;
}

SimulatedWaits::~SimulatedWaits()
{
    t_simulatedWaits = m_previous;
}

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    if (t_simulatedWaits)
        t_simulatedWaits->m_wait(std::chrono::milliseconds(milliseconds));
    else
        SleepUntil(MonotonicClock::now() + std::chrono::milliseconds(milliseconds));
}

void UsePreciseTimers()
{
#if defined(__linux__)
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}
