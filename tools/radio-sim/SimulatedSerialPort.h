#pragma once
// A radio on a simulated serial line, inside the calling process: the
// RadioSimulator state machine on the far end, the same timing model as
// radio-sim on its pseudo-terminal (turnaround, optional 9600 baud pacing,
// the bursts of a USB serial chip), and a clock of its own that moves only
// when the host waits or reads. A transfer against it takes no real time.
//
// The host's side is SimulatedSerialPort, a SerialPort. For the engine's own
// waits to pass on the same clock, route them to Wait (see SimulatedWaits in
// core/link/Timing.h).

#include "RadioSimulator.h"

#include "core/link/SerialPort.h"
#include "core/link/Timing.h"

#include <deque>
#include <string>
#include <vector>

struct SimulatedLineOptions
{
    RadioSimulatorOptions radio;
    bool pace = false;                      // keep to the speed of a 9600 baud line
    int usbLatencyMs = 0;                   // hand the radio's bytes on in bursts, as a USB chip does
    std::string device = "simulated-radio"; // the name its port opens by
};

class SimulatedRadio
{
public:
    explicit SimulatedRadio(SimulatedLineOptions options);
    SimulatedRadio(const SimulatedRadio&) = delete;
    SimulatedRadio& operator=(const SimulatedRadio&) = delete;

    const std::string& Device() const { return m_options.device; }
    const RadioImage& Memory() const { return m_radio.Memory(); }
    int WakeUps() const { return m_radio.WakeUps(); }

    // The line's clock: it starts at the epoch and moves only through Wait
    // and through the host's reads.
    MonotonicClock::time_point Now() const { return m_now; }
    void Wait(MonotonicClock::duration duration);

    // The bytes on the line as radio-sim --log records them: one line per run
    // in one direction, "> .." from the host, "< .." from the radio, and
    // "# ..." for events (the host closing the line, the radio hanging up).
    std::vector<std::string> Log() const;

private:
    friend class SimulatedSerialPort;
    struct Pending
    {
        std::uint8_t byte;
        MonotonicClock::time_point due;
    };

    std::error_code Attach(const std::string& device);
    void Detach();
    bool HostWrite(const std::uint8_t* data, std::size_t size);
    bool HostRead(std::uint8_t* data, std::size_t size, std::size_t& received, const SerialTimeouts& timeouts);
    void ClearInput() { m_input.clear(); }
    void AdvanceTo(MonotonicClock::time_point time); // hands on the answers due by then
    void LogBytes(char direction, const std::uint8_t* data, std::size_t size);
    void LogEvent(const char* text);

    SimulatedLineOptions m_options;
    RadioSimulator m_radio;
    MonotonicClock::time_point m_now{};
    MonotonicClock::time_point m_lineIn{};  // when the host's last byte had crossed the line
    MonotonicClock::time_point m_lineOut{}; // when the radio's last byte had crossed it
    std::deque<Pending> m_pending;          // answers on their way
    std::deque<std::uint8_t> m_input;       // answers that have arrived, unread
    std::vector<std::uint8_t> m_reply;
    bool m_attached = false;
    bool m_hungUp = false; // the radio dropped the line: it is gone for good
    std::vector<std::string> m_log;
    char m_direction = 0;
};

class SimulatedSerialPort final : public SerialPort
{
public:
    explicit SimulatedSerialPort(SimulatedRadio& radio)
        : m_radio(radio)
    {}
    ~SimulatedSerialPort() override { Close(); }
    SimulatedSerialPort(const SimulatedSerialPort&) = delete;
    SimulatedSerialPort& operator=(const SimulatedSerialPort&) = delete;

    // Opens only the radio's device name (no_such_file_or_directory
    // otherwise), and one port at a time (device_or_resource_busy).
    std::error_code Open(const std::string& device) override;
    bool IsOpen() const override { return m_open; }
    void Close() override;
    bool Configure(const SerialSettings& settings) override;
    void Purge(unsigned flags) override;
    bool Write(const std::uint8_t* data, std::size_t size) override;
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override;
    bool HungUp() const override { return m_open && m_radio.m_hungUp; }

private:
    SimulatedRadio& m_radio;
    SerialTimeouts m_timeouts;
    bool m_open = false;
};
