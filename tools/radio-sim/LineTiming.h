#pragma once
// How the simulated radio's answers travel back to the host, in time: the
// line's speed when paced, the turnaround before an answer, and the bursts
// of a USB serial chip. Shared by radio-sim on its pseudo-terminal and the
// simulated serial port of the tests.

#include <chrono>

namespace radiosim {

// One character of 10 bits (start, 8 data, stop) at 9600 baud.
inline constexpr std::chrono::nanoseconds kByteTime{10'000'000'000LL / 9600};
// Without pacing, answers still wait this long after the host's byte: no
// radio answers before the question has reached it.
inline constexpr std::chrono::nanoseconds kTurnaround{1'000'000};
// The host clears its input right after its acknowledge of the handshake
// and only then reads the answer; an answer that came sooner than the
// clearing would be lost. A real line leaves two character times for it;
// without pacing the radio leaves this much, enough for a busy machine.
inline constexpr std::chrono::nanoseconds kHandshakeAckTurnaround{10'000'000};

// A USB serial chip collects what the radio sends and hands it on when its
// latency timer runs out: a byte that has crossed the line at due goes to
// the host at the first tick after it, the ticks counted from start. A
// latency of 0 hands every byte on at once.
template <typename TimePoint>
TimePoint UsbRelease(TimePoint due, TimePoint start, int latencyMs)
{
    if (latencyMs <= 0)
        return due;
    const std::chrono::nanoseconds tick = std::chrono::milliseconds(latencyMs);
    const auto sinceStart = std::chrono::duration_cast<std::chrono::nanoseconds>(due - start);
    return start + (sinceStart + tick - std::chrono::nanoseconds(1)) / tick * tick;
}

} // namespace radiosim
