#include "core/link/PosixSerialPort.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/serial.h>
#include <sys/sysmacros.h>
#endif

namespace {

using std::chrono::milliseconds;

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

bool IsPseudoTerminal(int fd, const std::string& path)
{
#if defined(__linux__)
    // Pseudo-terminal slaves have the majors 136 to 143.
    struct stat st
    {};
    if (fstat(fd, &st) == 0 && S_ISCHR(st.st_mode))
        return major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
#else
    (void)fd;
#endif
    return path.rfind("/dev/pts/", 0) == 0;
}

speed_t SpeedConstant(int baudRate)
{
    switch (baudRate) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B9600;
    }
}

// Time left until deadline for ppoll; nullptr (wait without end) when the
// deadline is the far future.
const timespec* Remaining(MonotonicClock::time_point deadline, timespec& ts)
{
    if (deadline == MonotonicClock::time_point::max())
        return nullptr;
    const auto left = std::max(deadline - MonotonicClock::now(), MonotonicClock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return &ts;
}

MonotonicClock::time_point TotalDeadline(MonotonicClock::time_point start, int perByte, int constant, std::size_t size)
{
    if (perByte == 0 && constant == 0)
        return MonotonicClock::time_point::max();
    return start + milliseconds(static_cast<long long>(perByte) * static_cast<long long>(size) + constant);
}

// Errors that mean the line itself has gone, not just this call.
bool IsHangUpError(int error)
{
    return error == EIO || error == ENODEV || error == ENXIO;
}

} // namespace

ssize_t SerialSystemCalls::Read(int fd, void* buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

int SerialSystemCalls::Poll(pollfd* fds, nfds_t count, const timespec* timeout)
{
    return ppoll(fds, count, timeout, nullptr);
}

int SerialSystemCalls::Ioctl(int fd, unsigned long request, void* argument)
{
    return ioctl(fd, request, argument);
}

SerialSystemCalls& SerialSystemCalls::System()
{
    static SerialSystemCalls calls;
    return calls;
}

PosixSerialPort::~PosixSerialPort()
{
    Close();
}

std::error_code PosixSerialPort::Open(const std::string& device)
{
    Close();
    // A file, a folder or a FIFO is not even opened.
    struct stat st
    {};
    if (::stat(device.c_str(), &st) == 0 && !S_ISCHR(st.st_mode))
        return NotASerialPortError();
    // Non-blocking, so that the open does not wait for a carrier and so
    // that reads and writes can be timed with poll.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return LastError();
    std::error_code error;
    if (!isatty(fd)) {
        error = NotASerialPortError();
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        // The lock keeps out other instances of this program even when run
        // by root, whom the terminal's exclusive mode does not stop. (A
        // device that cannot be locked at all is used without the lock.)
        error = std::make_error_code(std::errc::device_or_resource_busy);
    }
    if (error) {
        ::close(fd);
        return error;
    }
    // Exclusive mode keeps out every other program that opens the device.
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    hungUp_ = false;
    pseudoTerminal_ = IsPseudoTerminal(fd, device);
    SetLowLatency();
    return {};
}

void PosixSerialPort::SetLowLatency()
{
    // Only the low-latency flag changes; every other field goes back as the
    // driver gave it. Drivers without the request (ENOTTY: a pseudo-terminal,
    // EINVAL) and refusals (EPERM) leave the port as it is: it works, only
    // more slowly on a USB cable.
#if defined(__linux__)
    serial_struct serial{};
    if (calls_.Ioctl(fd_, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY))
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    lowLatencySet_ = calls_.Ioctl(fd_, TIOCSSERIAL, &serial) == 0;
#endif
}

void PosixSerialPort::RestoreLatency()
{
#if defined(__linux__)
    if (!lowLatencySet_)
        return;
    lowLatencySet_ = false;
    serial_struct serial{};
    if (calls_.Ioctl(fd_, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags &= ~ASYNC_LOW_LATENCY;
    calls_.Ioctl(fd_, TIOCSSERIAL, &serial);
#endif
}

bool PosixSerialPort::LineDown(int error)
{
    if (IsHangUpError(error))
        hungUp_ = true;
    errno = error;
    return false;
}

void PosixSerialPort::Close()
{
    if (fd_ < 0)
        return;
    RestoreLatency();
    ioctl(fd_, TIOCNXCL);
    ::close(fd_); // also releases the lock
    fd_ = -1;
}

bool PosixSerialPort::Configure(const SerialSettings& settings)
{
    if (fd_ < 0)
        return false;
    timeouts_ = settings.timeouts;
    baudRate_ = settings.baudRate > 0 ? settings.baudRate : 9600;
    // The kernel's terminal queues are larger than any queue size asked for
    // here, so receiveQueue and transmitQueue need nothing on this platform.
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;
    // Binary: no line editing, no echo, no character translation, and no
    // software flow control, which would swallow data bytes 0x11 and 0x13.
    // Hardware flow control stays as the port has it.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    // With VMIN 1 a read on the non-blocking descriptor says EAGAIN when
    // nothing is there, so that 0 bytes can only mean a hang-up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    const speed_t speed = SpeedConstant(baudRate_);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

void PosixSerialPort::Purge(unsigned flags)
{
    if (fd_ < 0)
        return;
    // Nothing is ever in flight between calls (every write returns once its
    // bytes have left), so the abort flags have nothing to stop.
    if (flags & kPurgeReceiveClear)
        tcflush(fd_, TCIFLUSH);
    // A pseudo-terminal has no transmit queue: flushing its output throws
    // away what the other end has received but not read yet, which no
    // serial line does. Since writes wait until their bytes have left, there
    // is nothing to clear there anyway.
    if ((flags & kPurgeTransmitClear) && !pseudoTerminal_)
        tcflush(fd_, TCOFLUSH);
}

bool PosixSerialPort::Write(const std::uint8_t* data, std::size_t size)
{
    if (fd_ < 0)
        return false;
    const auto deadline =
        TotalDeadline(MonotonicClock::now(), timeouts_.writeTotalPerByte, timeouts_.writeTotalConstant, size);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::write(fd_, data + sent, size - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return LineDown(errno);
        pollfd p{fd_, POLLOUT, 0};
        timespec ts{};
        const int r = calls_.Poll(&p, 1, Remaining(deadline, ts));
        if (r < 0 && errno != EINTR)
            return false;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return LineDown(EIO);
        if (r == 0 || MonotonicClock::now() >= deadline)
            return false;
    }
    return WaitUntilSent(deadline);
}

bool PosixSerialPort::WaitUntilSent(MonotonicClock::time_point deadline)
{
    // Time of one character of 10 bits at the configured speed.
    const auto byteTime = std::chrono::microseconds(10'000'000 / baudRate_);
    for (;;) {
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true;
        const auto now = MonotonicClock::now();
        if (now >= deadline) {
            if (!pseudoTerminal_)
                tcflush(fd_, TCOFLUSH);
            return false;
        }
        SleepUntil(std::min(deadline, now + std::max(byteTime * queued, std::chrono::microseconds(100))));
    }
}

bool PosixSerialPort::Read(std::uint8_t* data, std::size_t size, std::size_t& received)
{
    received = 0;
    if (fd_ < 0)
        return false;
    if (size == 0)
        return true;
    const auto totalDeadline =
        TotalDeadline(MonotonicClock::now(), timeouts_.readTotalPerByte, timeouts_.readTotalConstant, size);
    const auto interval = milliseconds(timeouts_.readInterval);
    MonotonicClock::time_point lastByte;
    bool lineDown = false;
    for (;;) {
        const ssize_t n = calls_.Read(fd_, data + received, size - received);
        if (n > 0) {
            received += static_cast<std::size_t>(n);
            lastByte = MonotonicClock::now();
            if (received == size)
                return true;
            continue;
        }
        // With VMIN 1 on the non-blocking descriptor, 0 bytes is the end of
        // the line: the other end has hung up.
        if (n == 0)
            return LineDown(EIO);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return LineDown(errno);
        if (lineDown)
            return LineDown(EIO); // poll reported a hang-up and nothing is left to read
        auto deadline = totalDeadline;
        if (received > 0 && timeouts_.readInterval > 0)
            deadline = std::min(deadline, lastByte + interval);
        if (MonotonicClock::now() >= deadline)
            return true; // a time-out: deliver what has arrived
        pollfd p{fd_, POLLIN, 0};
        timespec ts{};
        const int r = calls_.Poll(&p, 1, Remaining(deadline, ts));
        if (r < 0 && errno != EINTR)
            return false;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            lineDown = true; // what is still buffered is read first
    }
}
