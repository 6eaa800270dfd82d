// The POSIX serial port on a bare pseudo-terminal: read time-outs, exclusive
// open, hang-up, purges and binary transparency.

#include "core/link/PosixSerialPort.h"
#include "core/link/RadioTransfer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <numeric>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// A pseudo-terminal whose far end the test drives directly.
class Line
{
public:
    Line()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        device_ = ptsname(master_);
    }
    ~Line() { CloseFarEnd(); }
    const std::string& Device() const { return device_; }
    void Send(const std::vector<std::uint8_t>& bytes)
    {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> Receive(std::size_t size)
    {
        std::vector<std::uint8_t> bytes(size);
        std::size_t got = 0;
        pollfd p{master_, POLLIN, 0};
        while (got < size && poll(&p, 1, 500) > 0) {
            const ssize_t n = read(master_, bytes.data() + got, size - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }
    void CloseFarEnd()
    {
        if (master_ >= 0)
            close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string device_;
};

struct OpenPort
{
    explicit OpenPort(const std::string& device)
    {
        EXPECT_FALSE(port.Open(device));
        port.Configure(RadioLineSettings());
    }
    PosixSerialPort port;
};

TEST(PosixSerialPort, ReadEndsOnCountGapOrTotalTimeOut)
{
    struct Send
    {
        int atMs;
        std::size_t bytes;
    };
    struct Case
    {
        const char* name;
        std::size_t requested;
        std::vector<Send> schedule;
        std::size_t received;
        int expectedMs;
    };
    const Case cases[] = {
        {"1 byte, nothing comes: 50 + 90 ms", 1, {}, 0, 140},
        {"8 bytes, nothing comes: 8 * 50 + 90 ms", 8, {}, 0, 490},
        {"all 12 at once", 12, {{10, 12}}, 12, 10},
        {"3 of 8, then a gap of 30 ms", 8, {{10, 3}}, 3, 40},
        {"a byte every 10 ms keeps the read going", 4, {{0, 1}, {10, 1}, {20, 1}, {30, 1}}, 4, 30},
        {"a gap of 80 ms ends it after the first byte", 3, {{0, 1}, {80, 2}}, 1, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line;
        OpenPort open(line.Device());
        const auto start = Clock::now();
        std::thread sender([&] {
            for (const auto& s : c.schedule) {
                std::this_thread::sleep_until(start + milliseconds(s.atMs));
                line.Send(std::vector<std::uint8_t>(s.bytes, 0x55));
            }
        });
        std::vector<std::uint8_t> buffer(c.requested);
        std::size_t received = 0;
        EXPECT_TRUE(open.port.Read(buffer.data(), buffer.size(), received));
        const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
        sender.join();
        EXPECT_EQ(received, c.received);
        EXPECT_GE(elapsed, c.expectedMs - 1);
        EXPECT_LE(elapsed, c.expectedMs + 40);
    }
}

TEST(PosixSerialPort, OpensExclusively)
{
    Line line;
    PosixSerialPort first;
    PosixSerialPort second;
    ASSERT_FALSE(first.Open(line.Device()));
    EXPECT_EQ(second.Open(line.Device()), std::errc::device_or_resource_busy);
    first.Close();
    EXPECT_FALSE(second.Open(line.Device()));

    PosixSerialPort other;
    EXPECT_EQ(other.Open("/dev/no-such-serial-port"), std::errc::no_such_file_or_directory);
    // Whatever is not a terminal is refused as such, without blocking on a FIFO.
    const std::string fifo = "/tmp/serial-port-fifo-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path :
         {std::string("/dev/null"), std::string("/etc/hostname"), std::string("/tmp"), fifo}) {
        const std::error_code error = other.Open(path);
        EXPECT_EQ(error, NotASerialPortError()) << path;
        EXPECT_EQ(error.message(), "not a serial port") << path;
        EXPECT_FALSE(other.IsOpen());
    }
    ::unlink(fifo.c_str());
}

TEST(PosixSerialPort, AHungUpLineFailsReadsAndWritesAtOnce)
{
    Line line;
    OpenPort open(line.Device());
    line.CloseFarEnd();
    const auto start = Clock::now();
    std::uint8_t buffer[8];
    std::size_t received = 0;
    EXPECT_FALSE(open.port.Read(buffer, sizeof buffer, received));
    EXPECT_FALSE(open.port.Write(buffer, sizeof buffer));
    EXPECT_LT(Clock::now() - start, milliseconds(50));
}

TEST(PosixSerialPort, PurgeDropsWhatArrivedButNotWhatWasSent)
{
    Line line;
    OpenPort open(line.Device());
    line.Send({1, 2, 3});
    std::this_thread::sleep_for(milliseconds(20));
    open.port.Purge(kPurgeClear);
    std::uint8_t byte = 0;
    std::size_t received = 0;
    EXPECT_TRUE(open.port.Read(&byte, 1, received));
    EXPECT_EQ(received, 0u);

    // A byte written just before a purge has left: the far end gets it.
    for (int i = 0; i < 200; ++i) {
        const std::uint8_t ack = 0x06;
        ASSERT_TRUE(open.port.Write(&ack, 1));
        open.port.Purge(kPurgeClear);
        ASSERT_EQ(line.Receive(1), std::vector<std::uint8_t>{0x06});
    }
}

TEST(PosixSerialPort, EveryByteValuePassesUnchangedBothWays)
{
    Line line;
    OpenPort open(line.Device());
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);

    ASSERT_TRUE(open.port.Write(all.data(), all.size()));
    EXPECT_EQ(line.Receive(all.size()), all);

    line.Send(all);
    std::vector<std::uint8_t> back(all.size());
    std::size_t received = 0;
    EXPECT_TRUE(open.port.Read(back.data(), back.size(), received));
    EXPECT_EQ(received, all.size());
    EXPECT_EQ(back, all);
}

// Answers the port's reads and polls in the system's place with one kind of
// hang-up; everything else goes to the system.
class HangUpCalls : public SerialSystemCalls
{
public:
    enum Kind { PollHangUp, PollError, ReadZero, ReadError };
    HangUpCalls(Kind kind, int error)
        : kind_(kind)
        , error_(error)
    {}

    ssize_t Read(int fd, void* buffer, std::size_t size) override
    {
        if (!armed)
            return SerialSystemCalls::Read(fd, buffer, size);
        ++reads;
        switch (kind_) {
        case ReadZero: return 0;
        case ReadError: errno = error_; return -1;
        default:
            errno = EAGAIN; // nothing buffered; poll tells the rest
            return -1;
        }
    }
    int Poll(pollfd* fds, nfds_t count, const timespec* timeout) override
    {
        if (!armed)
            return SerialSystemCalls::Poll(fds, count, timeout);
        ++polls;
        fds[0].revents = kind_ == PollError ? POLLERR : POLLHUP;
        return 1;
    }

    bool armed = false;
    int reads = 0;
    int polls = 0;

private:
    Kind kind_;
    int error_;
};

TEST(PosixSerialPort, EveryKindOfHangUpEndsAReadWithinOnePoll)
{
    struct Case
    {
        const char* name;
        HangUpCalls::Kind kind;
        int error;
    };
    const Case cases[] = {
        {"POLLHUP", HangUpCalls::PollHangUp, 0},    {"POLLERR", HangUpCalls::PollError, 0},
        {"read 0", HangUpCalls::ReadZero, 0},       {"EIO", HangUpCalls::ReadError, EIO},
        {"ENODEV", HangUpCalls::ReadError, ENODEV}, {"ENXIO", HangUpCalls::ReadError, ENXIO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line;
        HangUpCalls calls(c.kind, c.error);
        PosixSerialPort port(calls);
        ASSERT_FALSE(port.Open(line.Device()));
        port.Configure(RadioLineSettings());
        EXPECT_FALSE(port.HungUp());
        calls.armed = true;
        const auto start = Clock::now();
        std::uint8_t buffer[12];
        std::size_t received = 0;
        EXPECT_FALSE(port.Read(buffer, sizeof buffer, received));
        EXPECT_LT(Clock::now() - start, milliseconds(20)); // not the 690 ms time-out
        EXPECT_LE(calls.polls, 1);
        EXPECT_TRUE(port.HungUp());
        calls.armed = false;
        port.Close();
        ASSERT_FALSE(port.Open(line.Device()));
        EXPECT_FALSE(port.HungUp()); // a new open starts afresh
    }
}

TEST(PosixSerialPort, AFarEndThatClosesIsAHangUp)
{
    Line line;
    OpenPort open(line.Device());
    std::uint8_t byte = 0;
    std::size_t received = 0;
    EXPECT_TRUE(open.port.Read(&byte, 1, received)); // a time-out is no hang-up
    EXPECT_FALSE(open.port.HungUp());
    line.CloseFarEnd();
    EXPECT_FALSE(open.port.Read(&byte, 1, received));
    EXPECT_TRUE(open.port.HungUp());
}

// Records the driver requests and answers the serial ones like a driver
// that holds flags, or refuses them with an error.
class DriverCalls : public SerialSystemCalls
{
public:
    int Ioctl(int fd, unsigned long request, void* argument) override
    {
        if (request != TIOCGSERIAL && request != TIOCSSERIAL)
            return SerialSystemCalls::Ioctl(fd, request, argument);
        auto* serial = static_cast<serial_struct*>(argument);
        const bool get = request == TIOCGSERIAL;
        log.push_back(get ? "get" : "set " + std::to_string(serial->flags) + " " + std::to_string(serial->baud_base));
        const int error = get ? getError : setError;
        if (error != 0) {
            errno = error;
            return -1;
        }
        if (get)
            *serial = held;
        else
            held = *serial;
        return 0;
    }
    serial_struct held{};
    int getError = 0;
    int setError = 0;
    std::vector<std::string> log;
};

TEST(PosixSerialPort, LowLatencyIsSetOnOpenAndTheOldFlagsComeBackOnClose)
{
    const int other = ASYNC_SKIP_TEST; // a flag the port must leave alone
    const std::string low = std::to_string(other | ASYNC_LOW_LATENCY);
    const std::string plain = std::to_string(other);
    struct Case
    {
        const char* name;
        int flags;
        int getError;
        int setError;
        std::vector<std::string> log;
        int flagsAfterClose;
    };
    const Case cases[] = {
        {"set, then restored",
         other,
         0,
         0,
         {"get", "set " + low + " 115200", "get", "set " + plain + " 115200"},
         other},
        {"already on: left as it is", other | ASYNC_LOW_LATENCY, 0, 0, {"get"}, other | ASYNC_LOW_LATENCY},
        {"no such request (ENOTTY)", other, ENOTTY, 0, {"get"}, other},
        {"invalid (EINVAL)", other, EINVAL, 0, {"get"}, other},
        {"refused (EPERM): nothing to restore", other, 0, EPERM, {"get", "set " + low + " 115200"}, other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Line line;
        DriverCalls calls;
        calls.held.flags = c.flags;
        calls.held.baud_base = 115200;
        calls.getError = c.getError;
        calls.setError = c.setError;
        PosixSerialPort port(calls);
        EXPECT_FALSE(port.Open(line.Device())); // no error stops the open
        EXPECT_TRUE(port.IsOpen());
        port.Close();
        EXPECT_EQ(calls.log, c.log);
        EXPECT_EQ(calls.held.flags, c.flagsAfterClose);
    }
}

} // namespace
