#pragma once
// Monotonic time and sleeps with absolute deadlines, so that many short waits
// in a row do not add up their oversleeps more than necessary.

#include <chrono>
#include <functional>

using MonotonicClock = std::chrono::steady_clock;

// Sleeps until the deadline has passed (no early wake-up on signals).
void SleepUntil(MonotonicClock::time_point deadline);
void SleepMilliseconds(int milliseconds);

// While it lives, SleepMilliseconds on the thread that made it does not
// sleep but hands each wait to wait: for running a transfer against a
// simulated line whose clock moves only when asked. Nests; the previous
// waits come back when it ends.
class SimulatedWaits
{
public:
    explicit SimulatedWaits(std::function<void(std::chrono::milliseconds)> wait);
    ~SimulatedWaits();
    SimulatedWaits(const SimulatedWaits&) = delete;
    SimulatedWaits& operator=(const SimulatedWaits&) = delete;

private:
    friend void SleepMilliseconds(int milliseconds);
    std::function<void(std::chrono::milliseconds)> m_wait;
    SimulatedWaits* m_previous;
};

// Asks the system to wake this thread as close to its deadlines as it can
// (Linux otherwise lets a sleep run up to 50 us long to save power). Worth
// it for the many 1 ms waits of a radio transfer; nothing elsewhere.
void UsePreciseTimers();

// While it lives, the system timer ticks every millisecond, so that the 1
// and 2 ms waits of a radio transfer and the serial time-outs are not
// rounded up to Windows' default tick of 15.6 ms; the previous tick comes
// back when it ends. Elsewhere it does nothing.
class PreciseTimerPeriod
{
public:
    PreciseTimerPeriod();
    ~PreciseTimerPeriod();
    PreciseTimerPeriod(const PreciseTimerPeriod&) = delete;
    PreciseTimerPeriod& operator=(const PreciseTimerPeriod&) = delete;

private:
    [[maybe_unused]] bool active_ = false;
};
