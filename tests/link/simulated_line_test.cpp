// The simulated line the link suites run on: its read time-outs and USB
// bursts follow the clock it keeps, the engine's waits pass on that clock,
// and a pulled cable stays pulled.

#include "LinkFixtures.h"

using namespace linktest;

namespace {

using std::chrono::milliseconds;

TEST(SimulatedWaits, TakeTheWaitsOfThisThreadWhileTheyLive)
{
    std::vector<milliseconds> outer;
    std::vector<milliseconds> inner;
    {
        const SimulatedWaits waits([&](milliseconds wait) { outer.push_back(wait); });
        const auto start = MonotonicClock::now();
        SleepMilliseconds(2);
        {
            const SimulatedWaits nested([&](milliseconds wait) { inner.push_back(wait); });
            SleepMilliseconds(300);
            SleepMilliseconds(0); // no wait at all
        }
        SleepMilliseconds(1);
        EXPECT_LT(MonotonicClock::now() - start, milliseconds(250));
        // Another thread still sleeps for real.
        std::thread([] {
            const auto threadStart = MonotonicClock::now();
            SleepMilliseconds(20);
            EXPECT_GE(MonotonicClock::now() - threadStart, milliseconds(20));
        }).join();
    }
    EXPECT_EQ(outer, (std::vector<milliseconds>{milliseconds(2), milliseconds(1)}));
    EXPECT_EQ(inner, std::vector<milliseconds>{milliseconds(300)});
    // Without them, a wait is real again.
    const auto start = MonotonicClock::now();
    SleepMilliseconds(20);
    EXPECT_GE(MonotonicClock::now() - start, milliseconds(20));
}

// Wakes the radio (a late answer), then reads one byte under the given time-outs.
struct ReadOutcome
{
    bool ok;
    std::size_t received;
    milliseconds took;
};

ReadOutcome WakeAndRead(SimulatedLink& link, SimulatedSerialPort& port, std::size_t size)
{
    const std::uint8_t wakeUp[] = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
    port.Write(wakeUp, sizeof wakeUp);
    std::uint8_t buffer[16]{};
    std::size_t received = 0;
    const auto start = link.Radio().Now();
    const bool ok = port.Read(buffer, size, received);
    return {ok, received, std::chrono::duration_cast<milliseconds>(link.Radio().Now() - start)};
}

TEST(SimulatedLine, AReadEndsAtItsTimeOutsOnTheLinesClock)
{
    struct Case
    {
        const char* name;
        bool pace;
        int usbLatencyMs;
        std::size_t size;
        std::size_t received;
        milliseconds took;
    };
    // The answer (one byte) comes 1 ms after the wake-up, or at the next
    // 16 ms tick of a USB cable; nothing follows it.
    const Case cases[] = {
        {"the byte asked for", false, 0, 1, 1, milliseconds(1)},
        {"the byte through a USB cable", false, 16, 1, 1, milliseconds(16)},
        {"two asked, the 30 ms gap ends the read", false, 0, 2, 1, milliseconds(31)},
        {"two asked through a USB cable", false, 16, 2, 1, milliseconds(46)},
        // Eight bytes out and one back at 9600 baud: 9.4 ms.
        {"paced", true, 0, 1, 1, milliseconds(9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedLineOptions options;
        options.pace = c.pace;
        options.usbLatencyMs = c.usbLatencyMs;
        SimulatedLink link(options);
        SimulatedSerialPort port(link.Radio());
        ASSERT_FALSE(port.Open(link.Device()));
        ASSERT_TRUE(port.Configure(RadioLineSettings()));
        const ReadOutcome read = WakeAndRead(link, port, c.size);
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.received, c.received);
        EXPECT_EQ(read.took, c.took);
    }
    // A silent radio: the read of one byte gives up after 50 + 90 ms.
    SimulatedLineOptions silent;
    silent.radio.silent = true;
    SimulatedLink link(silent);
    SimulatedSerialPort port(link.Radio());
    ASSERT_FALSE(port.Open(link.Device()));
    port.Configure(RadioLineSettings());
    const ReadOutcome read = WakeAndRead(link, port, 1);
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.received, 0u);
    EXPECT_EQ(read.took, milliseconds(140));
}

TEST(SimulatedLine, OpensByItsNameOnePortAtATimeAndNotAfterTheCableWasPulled)
{
    SimulatedLineOptions options;
    options.radio.hangUpAfter = 0;
    SimulatedLink link(options);
    SimulatedSerialPort port(link.Radio());
    SimulatedSerialPort second(link.Radio());
    EXPECT_EQ(port.Open("another-radio"), std::errc::no_such_file_or_directory);
    EXPECT_FALSE(port.Open(link.Device()));
    EXPECT_EQ(second.Open(link.Device()), std::errc::device_or_resource_busy);
    port.Configure(RadioLineSettings());

    // Handshake, then the first frame's first byte pulls the cable.
    const std::uint8_t wakeUp[] = {0x02, 'P', 'R', 'O', 'G', 'R', 'A', 'M'};
    std::uint8_t answer[8]{};
    std::size_t received = 0;
    ASSERT_TRUE(port.Write(wakeUp, sizeof wakeUp));
    ASSERT_TRUE(port.Read(answer, 1, received));
    const std::uint8_t identityRequest = 0x02;
    ASSERT_TRUE(port.Write(&identityRequest, 1));
    ASSERT_TRUE(port.Read(answer, 8, received));
    const std::uint8_t acknowledge = 0x06;
    ASSERT_TRUE(port.Write(&acknowledge, 1));
    ASSERT_TRUE(port.Read(answer, 1, received));
    ASSERT_EQ(received, 1u);
    EXPECT_FALSE(port.HungUp());
    const std::uint8_t request[] = {'R', 0x00, 0x00, 0x08};
    EXPECT_TRUE(port.Write(request, sizeof request));
    EXPECT_TRUE(port.HungUp());
    EXPECT_FALSE(port.Read(answer, 1, received));
    EXPECT_FALSE(port.Write(request, sizeof request));
    port.Close();
    EXPECT_EQ(port.Open(link.Device()), std::errc::no_such_file_or_directory);
    EXPECT_EQ(link.Radio().Log().back(), "# hung up");
}

} // namespace
