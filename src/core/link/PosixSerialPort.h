#pragma once
// SerialPort on a POSIX terminal device (a USB serial cable, a built-in port
// or a pseudo-terminal), with termios for the line and poll for the
// millisecond time-outs that termios' VTIME (tenths of a second) cannot give.

#include "core/link/SerialPort.h"
#include "core/link/Timing.h"

// The error Open gives for a path that is not a terminal device; its
// message is "not a serial port".
std::error_code NotASerialPortError();

class PosixSerialPort final : public SerialPort
{
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    std::error_code Open(const std::string& device) override;
    bool IsOpen() const override { return fd_ >= 0; }
    void Close() override;

    bool Configure(const SerialSettings& settings) override;
    void Purge(unsigned flags) override;
    bool Write(const std::uint8_t* data, std::size_t size) override;
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override;

private:
    bool WaitUntilSent(MonotonicClock::time_point deadline);

    int fd_ = -1;
    bool pseudoTerminal_ = false;
    SerialTimeouts timeouts_;
    int baudRate_ = 9600;
};
