#include "SimulatedSerialPort.h"

#include "LineTiming.h"

#include <algorithm>
#include <cstdio>

SimulatedRadio::SimulatedRadio(SimulatedLineOptions options)
    : options_(std::move(options))
    , radio_(options_.radio)
{}

void SimulatedRadio::Wait(MonotonicClock::duration duration)
{
    AdvanceTo(now_ + std::max(duration, MonotonicClock::duration::zero()));
}

std::vector<std::string> SimulatedRadio::Log() const
{
    return log_;
}

std::error_code SimulatedRadio::Attach(const std::string& device)
{
    // A radio that has hung up is gone, and its device with it.
    if (hungUp_ || device != options_.device)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (attached_)
        return std::make_error_code(std::errc::device_or_resource_busy);
    attached_ = true;
    return {};
}

void SimulatedRadio::Detach()
{
    if (!attached_)
        return;
    attached_ = false;
    pending_.clear();
    input_.clear();
    if (hungUp_)
        return;
    radio_.LineClosed();
    LogEvent("closed");
}

void SimulatedRadio::AdvanceTo(MonotonicClock::time_point time)
{
    now_ = std::max(now_, time);
    while (!pending_.empty() && pending_.front().due <= now_) {
        input_.push_back(pending_.front().byte);
        LogBytes('<', &pending_.front().byte, 1);
        pending_.pop_front();
    }
}

bool SimulatedRadio::HostWrite(const std::uint8_t* data, std::size_t size)
{
    if (hungUp_)
        return false;
    AdvanceTo(now_);
    for (std::size_t i = 0; i < size; ++i) {
        LogBytes('>', data + i, 1);
        // The byte has crossed the line one character time after the
        // previous one did, and not before it was sent.
        lineIn_ = options_.pace ? std::max(now_, lineIn_) + radiosim::kByteTime : now_;
        reply_.clear();
        if (!radio_.Receive(data[i], reply_)) {
            // The cable is pulled: what was under way is lost, and the rest
            // of this write with it.
            hungUp_ = true;
            pending_.clear();
            input_.clear();
            LogEvent("hung up");
            return true;
        }
        const auto start = options_.pace ? lineIn_
                                         : now_ + (radio_.RepliedToHandshakeAck() ? radiosim::kHandshakeAckTurnaround
                                                                                  : radiosim::kTurnaround);
        for (std::uint8_t byte : reply_) {
            const auto due = options_.pace ? std::max(start, lineOut_) + radiosim::kByteTime : start;
            lineOut_ = due;
            auto release = radiosim::UsbRelease(due, MonotonicClock::time_point{}, options_.usbLatencyMs);
            // The line keeps the order of the bytes.
            if (!pending_.empty())
                release = std::max(release, pending_.back().due);
            pending_.push_back({byte, release});
        }
    }
    return true;
}

bool SimulatedRadio::HostRead(std::uint8_t* data, std::size_t size, std::size_t& received,
                              const SerialTimeouts& timeouts)
{
    received = 0;
    if (hungUp_)
        return false;
    using std::chrono::milliseconds;
    const auto start = now_;
    const int total = timeouts.readTotalPerByte * static_cast<int>(size) + timeouts.readTotalConstant;
    auto lastArrival = start;
    for (;;) {
        AdvanceTo(now_);
        while (received < size && !input_.empty()) {
            data[received++] = input_.front();
            input_.pop_front();
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
        if (pending_.empty() || (limit && pending_.front().due > *limit)) {
            if (limit)
                AdvanceTo(*limit);
            return true;
        }
        lastArrival = std::max(now_, pending_.front().due);
        AdvanceTo(lastArrival);
    }
}

void SimulatedRadio::LogBytes(char direction, const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (direction != direction_) {
            log_.emplace_back(1, direction);
            direction_ = direction;
        }
        char text[4];
        std::snprintf(text, sizeof text, " %02X", data[i]);
        log_.back() += text;
    }
}

void SimulatedRadio::LogEvent(const char* text)
{
    log_.push_back(std::string("# ") + text);
    direction_ = 0;
}

std::error_code SimulatedSerialPort::Open(const std::string& device)
{
    if (open_)
        return std::make_error_code(std::errc::device_or_resource_busy);
    const std::error_code error = radio_.Attach(device);
    open_ = !error;
    return error;
}

void SimulatedSerialPort::Close()
{
    if (!open_)
        return;
    open_ = false;
    radio_.Detach();
}

bool SimulatedSerialPort::Configure(const SerialSettings& settings)
{
    if (!open_)
        return false;
    timeouts_ = settings.timeouts;
    return true;
}

void SimulatedSerialPort::Purge(unsigned flags)
{
    if (open_ && (flags & (kPurgeReceiveClear | kPurgeReceiveAbort)))
        radio_.ClearInput();
}

bool SimulatedSerialPort::Write(const std::uint8_t* data, std::size_t size)
{
    return open_ && radio_.HostWrite(data, size);
}

bool SimulatedSerialPort::Read(std::uint8_t* data, std::size_t size, std::size_t& received)
{
    received = 0;
    return open_ && radio_.HostRead(data, size, received, timeouts_);
}
