#pragma once
// SerialPort on a POSIX terminal device (a USB serial cable, a built-in port
// or a pseudo-terminal), with termios for the line and poll for the
// millisecond time-outs that termios' VTIME (tenths of a second) cannot give.
//
// On open the port asks the driver for low latency (ASYNC_LOW_LATENCY), so
// that a USB chip hands on each reply at once instead of holding it for its
// latency timer, and gives the driver its previous flags back on close.
// A hang-up (poll's POLLHUP or POLLERR, a read of 0 bytes, EIO, ENODEV or
// ENXIO) fails the call at once and is remembered (HungUp).

#include "core/link/SerialPort.h"
#include "core/link/Timing.h"

#include <poll.h>
#include <sys/types.h>

// The system calls the port makes where a test may want to answer in the
// system's place: reads, polls and the driver requests. The defaults call
// the system.
class SerialSystemCalls
{
public:
    virtual ~SerialSystemCalls() = default;
    virtual ssize_t Read(int fd, void* buffer, std::size_t size);
    virtual int Poll(pollfd* fds, nfds_t count, const timespec* timeout);
    virtual int Ioctl(int fd, unsigned long request, void* argument);

    static SerialSystemCalls& System();
};

class PosixSerialPort final : public SerialPort
{
public:
    explicit PosixSerialPort(SerialSystemCalls& calls = SerialSystemCalls::System())
        : calls_(calls)
    {}
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
    bool HungUp() const override { return hungUp_; }

private:
    bool WaitUntilSent(MonotonicClock::time_point deadline);
    void SetLowLatency();
    void RestoreLatency();
    bool LineDown(int error); // remembers a hang-up error; returns false for the caller to pass on

    SerialSystemCalls& calls_;
    int fd_ = -1;
    bool pseudoTerminal_ = false;
    bool hungUp_ = false;
    bool lowLatencySet_ = false; // this port switched low latency on and must switch it off again
    SerialTimeouts timeouts_;
    int baudRate_ = 9600;
};
