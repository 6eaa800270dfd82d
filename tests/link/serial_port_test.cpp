// The POSIX serial port on a bare pseudo-terminal: read time-outs, exclusive
// open, hang-up, purges and binary transparency.

#include "core/link/PosixSerialPort.h"
#include "core/link/RadioTransfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <numeric>
#include <poll.h>
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
    void Send(const std::vector<std::uint8_t>& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
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
    for (const std::string& path : {std::string("/dev/null"), std::string("/etc/hostname"), std::string("/tmp"), fifo}) {
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

}  // namespace
