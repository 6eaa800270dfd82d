#include "SimulatedSerialPort.h"

#include "LineTiming.h"

#include <algorithm>
#include <cstdio>

SimulatedRadio::SimulatedRadio(SimulatedLineOptions options)
    : m_options(std::move(options))
    , m_radio(m_options.radio)
{}

void SimulatedRadio::Wait(MonotonicClock::duration duration)
{
    AdvanceTo(m_now + std::max(duration, MonotonicClock::duration::zero()));
}

std::vector<std::string> SimulatedRadio::Log() const
{
    return m_log;
}

std::error_code SimulatedRadio::Attach(const std::string& device)
{
    // A radio that has hung up is gone, and its device with it.
    if (m_hungUp || device != m_options.device)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (m_attached)
        return std::make_error_code(std::errc::device_or_resource_busy);
    m_attached = true;
    return {};
}

void SimulatedRadio::Detach()
{
    if (!m_attached)
        return;
    m_attached = false;
    m_pending.clear();
    m_input.clear();
    if (m_hungUp)
        return;
    m_radio.LineClosed();
    LogEvent("closed");
}

void SimulatedRadio::AdvanceTo(MonotonicClock::time_point time)
{
    m_now = std::max(m_now, time);
    while (!m_pending.empty() && m_pending.front().due <= m_now) {
        m_input.push_back(m_pending.front().byte);
        LogBytes('<', &m_pending.front().byte, 1);
        m_pending.pop_front();
    }
}

bool SimulatedRadio::HostWrite(const std::uint8_t* data, std::size_t size)
{
    if (m_hungUp)
        return false;
    AdvanceTo(m_now);
    for (std::size_t i = 0; i < size; ++i) {
        LogBytes('>', data + i, 1);
        // The byte has crossed the line one character time after the
        // previous one did, and not before it was sent.
        m_lineIn = m_options.pace ? std::max(m_now, m_lineIn) + radiosim::kByteTime : m_now;
        m_reply.clear();
        if (!m_radio.Receive(data[i], m_reply)) {
            // The cable is pulled: what was under way is lost, and the rest
            // of this write with it.
            m_hungUp = true;
            m_pending.clear();
            m_input.clear();
            LogEvent("hung up");
            return true;
        }
        const auto start = m_options.pace ? m_lineIn
                                          : m_now + (m_radio.RepliedToHandshakeAck() ? radiosim::kHandshakeAckTurnaround
                                                                                     : radiosim::kTurnaround);
        for (std::uint8_t byte : m_reply) {
            const auto due = m_options.pace ? std::max(start, m_lineOut) + radiosim::kByteTime : start;
            m_lineOut = due;
            auto release = radiosim::UsbRelease(due, MonotonicClock::time_point{}, m_options.usbLatencyMs);
            // The line keeps the order of the bytes.
            if (!m_pending.empty())
                release = std::max(release, m_pending.back().due);
            m_pending.push_back({byte, release});
        }
    }
    return true;
}

bool SimulatedRadio::HostRead(std::uint8_t* data, std::size_t size, std::size_t& received,
                              const SerialTimeouts& timeouts)
{
    received = 0;
    if (m_hungUp)
        return false;
    using std::chrono::milliseconds;
    const auto start = m_now;
    const int total = timeouts.readTotalPerByte * static_cast<int>(size) + timeouts.readTotalConstant;
    auto lastArrival = start;
    for (;;) {
        AdvanceTo(m_now);
        while (received < size && !m_input.empty()) {
            data[received++] = m_input.front();
            m_input.pop_front();
        }
        if (received == size)
            return true;
        // The read ends at the first of its time-outs, unless the next byte
        // comes sooner.
        std::optional<MonotonicClock::time_point> limit;
        if (total > 0)
            limit = start + milliseconds(total);
        if (received > 0 && timeouts.readInterval > 0) {
            const auto gap = lastArrival + milliseconds(timeouts.readInterval);
            limit = limit ? std::min(*limit, gap) : gap;
        }
        if (m_pending.empty() || (limit && m_pending.front().due > *limit)) {
            if (limit)
                AdvanceTo(*limit);
            return true;
        }
        lastArrival = std::max(m_now, m_pending.front().due);
        AdvanceTo(lastArrival);
    }
}

void SimulatedRadio::LogBytes(char direction, const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (direction != m_direction) {
            m_log.emplace_back(1, direction);
            m_direction = direction;
        }
        char text[4];
        std::snprintf(text, sizeof text, " %02X", data[i]);
        m_log.back() += text;
    }
}

void SimulatedRadio::LogEvent(const char* text)
{
    m_log.push_back(std::string("# ") + text);
    m_direction = 0;
}

std::error_code SimulatedSerialPort::Open(const std::string& device)
{
    if (m_open)
        return std::make_error_code(std::errc::device_or_resource_busy);
    const std::error_code error = m_radio.Attach(device);
    m_open = !error;
    return error;
}

void SimulatedSerialPort::Close()
{
    if (!m_open)
        return;
    m_open = false;
    m_radio.Detach();
}

bool SimulatedSerialPort::Configure(const SerialSettings& settings)
{
    if (!m_open)
        return false;
    m_timeouts = settings.timeouts;
    return true;
}

void SimulatedSerialPort::Purge(unsigned flags)
{
    if (m_open && (flags & (kPurgeReceiveClear | kPurgeReceiveAbort)))
        m_radio.ClearInput();
}

bool SimulatedSerialPort::Write(const std::uint8_t* data, std::size_t size)
{
    return m_open && m_radio.HostWrite(data, size);
}

bool SimulatedSerialPort::Read(std::uint8_t* data, std::size_t size, std::size_t& received)
{
    received = 0;
    return m_open && m_radio.HostRead(data, size, received, m_timeouts);
}
