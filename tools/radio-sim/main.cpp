// radio-sim: a radio on a pseudo-terminal.
//
// Prints the device path of the line as the first line of its output, then
// answers the programming protocol on it until it is stopped (or, with
// --once, until the host has closed the line after one transfer). With
// pacing on, the radio's bytes leave no faster than 9600 baud 8N1 and every
// answer starts only once the host's bytes could have crossed the line.

#include "LineTiming.h"
#include "RadioRow.h"
#include "RadioSimulator.h"

#include "core/document/DataFile.h"
#include "core/link/Timing.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::nanoseconds;

using radiosim::kByteTime;
using radiosim::kHandshakeAckTurnaround;
using radiosim::kTurnaround;
// How often --stop-file is looked for.
constexpr nanoseconds kStopFilePoll{10'000'000};

constexpr const char* kUsage = "Usage: radio-sim [OPTIONS]\n"
                               "A radio on a pseudo-terminal. Prints the device path as its first line,\n"
                               "then serves reads and writes on it until stopped.\n"
                               "\n"
                               "  --image FILE.dat      the radio's memory (default: erased, all 0xFF)\n"
                               "  --save FILE.dat       store the memory there after each write transfer\n"
                               "  --ident TEXT          first five bytes of the identity reply (default P3207)\n"
                               "  --model HEX           model code, identity byte 7 (default F5)\n"
                               "  --ident-length N      send only N bytes of the 8-byte identity reply\n"
                               "  --answer early|late   answer the wake-up after its 7th or 8th byte (default late)\n"
                               "  --pace, --no-pace     keep to the speed of a 9600 baud line (default on)\n"
                               "  --silent              never answer\n"
                               "  --silent-attempts N   leave the first N wake-ups unanswered\n"
                               "  --handshake-ack HEX   answer the host's acknowledge of the identity with HEX\n"
                               "                        instead of 06\n"
                               "  --no-ack-at ADDR      do not acknowledge the write frame at ADDR (hex)\n"
                               "  --wrong-ack-at ADDR   answer the write frame at ADDR (hex) with 15, not 06\n"
                               "  --short-reply-at ADDR answer the read at ADDR (hex) with 11 bytes\n"
                               "  --wrong-read-ack-at ADDR\n"
                               "                        answer the host's acknowledge of the read reply at ADDR\n"
                               "                        (hex) with 15, not 06\n"
                               "  --hangup-after N      after N frames, drop the line as if the cable were pulled\n"
                               "                        (the simulator ends with it)\n"
                               "  --bad-cell ADDR       the memory byte at ADDR (hex) stores every value written\n"
                               "                        to it inverted, as a failing cell would\n"
                               "  --usb-latency MS      deliver the radio's bytes the way a USB serial chip does:\n"
                               "                        held back and released in bursts every MS milliseconds\n"
                               "                        (16 is an FTDI chip's default, 1 with low latency)\n"
                               "  --log FILE            record the bytes on the line, one line per direction change\n"
                               "  --once                end after the host has closed the line after one transfer\n"
                               "  --link PATH           also make PATH a symbolic link to the line's device, for\n"
                               "                        programs that look for the line there (wine takes\n"
                               "                        $WINEPREFIX/dosdevices/com5 as COM5); removed on exit\n"
                               "  --stop-file PATH      end, as on SIGTERM, once the file PATH exists, and print\n"
                               "                        \"exit N\" (N the exit status) as the last line of the\n"
                               "                        output: for a caller that can neither signal nor wait\n"
                               "                        for the simulator (a Windows program under wine)\n"
                               "\n"
                               "A row of radios, one after the other on the line:\n";

struct Settings
{
    RadioSimulatorOptions radio;
    std::string savePath;
    std::string logPath;
    bool pace = true;
    bool once = false;
    std::string stopFile;
    std::string linkPath;
    int usbLatencyMs = 0;
    RowSettings row;
};

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int)
{
    g_stop = 1;
}

bool ParseNumber(const std::string& text, int base, unsigned long max, unsigned long& value)
{
    std::string digits = text;
    if (base == 16 && (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0))
        digits = digits.substr(2);
    if (digits.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(digits.c_str(), &end, base);
    return errno == 0 && *end == '\0' && value <= max;
}

int Usage(const std::string& message)
{
    std::fprintf(stderr, "radio-sim: %s\n%s%s", message.c_str(), kUsage, kRowUsage);
    return 2;
}

// The fault option that names a frame address, or null.
std::optional<std::uint16_t>* AddressOption(RadioSimulatorOptions& radio, const std::string& name)
{
    if (name == "--no-ack-at")
        return &radio.noAckAt;
    if (name == "--wrong-ack-at")
        return &radio.wrongAckAt;
    if (name == "--short-reply-at")
        return &radio.shortReplyAt;
    if (name == "--wrong-read-ack-at")
        return &radio.wrongReadAckAt;
    return nullptr;
}

// Returns -1 when all is well, otherwise the exit status.
int ParseSettings(int argc, char** argv, Settings& s)
{
    s.radio.memory.fill(0xFF);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        unsigned long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::fputs(kRowUsage, stdout);
            return 0;
        } else if (arg == "--pace") {
            s.pace = true;
        } else if (arg == "--no-pace") {
            s.pace = false;
        } else if (arg == "--silent") {
            s.radio.silent = true;
        } else if (arg == "--once") {
            s.once = true;
        } else if (!value(v)) {
            return Usage(arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unknown argument " + arg);
        } else if (std::string error; const int row = ParseRowOption(arg, v, s.row, error)) {
            if (row < 0)
                return Usage(error);
        } else if (arg == "--image") {
            std::string error;
            if (LoadDataFile(v, s.radio.memory, &error) != DataFileResult::Ok) {
                std::fprintf(stderr, "radio-sim: %s: %s\n", v.c_str(), error.empty() ? "cannot load" : error.c_str());
                return 1;
            }
        } else if (arg == "--save") {
            s.savePath = v;
        } else if (arg == "--log") {
            s.logPath = v;
        } else if (arg == "--link") {
            s.linkPath = v;
        } else if (arg == "--stop-file") {
            s.stopFile = v;
        } else if (arg == "--ident") {
            s.radio.identity = v;
        } else if (arg == "--model") {
            if (!ParseNumber(v, 16, 0xFF, n))
                return Usage("--model takes a hexadecimal byte");
            s.radio.model = static_cast<std::uint8_t>(n);
        } else if (arg == "--handshake-ack") {
            if (!ParseNumber(v, 16, 0xFF, n))
                return Usage("--handshake-ack takes a hexadecimal byte");
            s.radio.handshakeAck = static_cast<std::uint8_t>(n);
        } else if (arg == "--ident-length") {
            if (!ParseNumber(v, 10, 8, n))
                return Usage("--ident-length takes 0 to 8");
            s.radio.identityLength = n;
        } else if (arg == "--answer") {
            if (v != "early" && v != "late")
                return Usage("--answer takes early or late");
            s.radio.earlyAnswer = v == "early";
        } else if (arg == "--silent-attempts") {
            if (!ParseNumber(v, 10, 1000000, n))
                return Usage("--silent-attempts takes a number");
            s.radio.silentAttempts = static_cast<int>(n);
        } else if (arg == "--hangup-after") {
            if (!ParseNumber(v, 10, 1000000, n))
                return Usage("--hangup-after takes a number");
            s.radio.hangUpAfter = static_cast<int>(n);
        } else if (arg == "--usb-latency") {
            if (!ParseNumber(v, 10, 1000, n))
                return Usage("--usb-latency takes milliseconds from 0 to 1000");
            s.usbLatencyMs = static_cast<int>(n);
        } else if (arg == "--bad-cell") {
            if (!ParseNumber(v, 16, 0x3FF, n))
                return Usage("--bad-cell takes a hexadecimal address");
            s.radio.badCell = static_cast<std::uint16_t>(n);
        } else if (auto* at = AddressOption(s.radio, arg)) {
            if (!ParseNumber(v, 16, 0xFFFF, n))
                return Usage(arg + " takes a hexadecimal address");
            *at = static_cast<std::uint16_t>(n);
        } else {
            return Usage("unknown option " + arg);
        }
    }
    return -1;
}

// Bytes on the line, one text line per run in one direction:
// "> 02 50 52" from the host, "< 06" from the radio, "# ..." for events.
class LineLog
{
public:
    explicit LineLog(const std::string& path)
        : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "w"))
    {}
    ~LineLog()
    {
        if (file_)
            std::fclose(file_);
    }
    bool Failed(const std::string& path) const { return !path.empty() && !file_; }

    void Bytes(char direction, const std::uint8_t* data, std::size_t size)
    {
        if (!file_ || size == 0)
            return;
        if (direction != direction_) {
            EndRun();
            std::fputc(direction, file_);
            direction_ = direction;
        }
        for (std::size_t i = 0; i < size; ++i)
            std::fprintf(file_, " %02X", data[i]);
    }
    void Event(const char* text)
    {
        if (!file_)
            return;
        EndRun();
        std::fprintf(file_, "# %s\n", text);
        std::fflush(file_);
    }
    void EndRun()
    {
        if (file_ && direction_) {
            std::fputc('\n', file_);
            std::fflush(file_);
        }
        direction_ = 0;
    }

private:
    std::FILE* file_;
    char direction_ = 0;
};

struct PendingByte
{
    std::uint8_t byte;
    Clock::time_point due;
};

timespec ToTimespec(nanoseconds d)
{
    d = std::max(d, nanoseconds::zero());
    return {static_cast<time_t>(d.count() / 1'000'000'000), static_cast<long>(d.count() % 1'000'000'000)};
}

class Simulation
{
public:
    Simulation(Settings settings, int master)
        : s_(std::move(settings))
        , radio_(s_.radio)
        , master_(master)
        , log_(s_.logPath)
    {
        if (!s_.row.radios.empty())
            row_ = std::make_unique<RadioRow>(s_.row, s_.radio, Clock::now(), stdout);
    }
    bool LogFailed() const { return log_.Failed(s_.logPath); }

    int Run(const sigset_t& waitMask)
    {
        while (!g_stop) {
            timespec ts{};
            const timespec* timeout = nullptr;
            if (!out_.empty()) {
                ts = ToTimespec(out_.front().due - Clock::now());
                timeout = &ts;
            }
            // The stop file is looked for at least every 10 ms.
            if (!s_.stopFile.empty()) {
                if (access(s_.stopFile.c_str(), F_OK) == 0)
                    break;
                if (!timeout || ts.tv_sec > 0 || ts.tv_nsec > kStopFilePoll.count()) {
                    ts = ToTimespec(kStopFilePoll);
                    timeout = &ts;
                }
            }
            pollfd p{master_, POLLIN, 0};
            const int r = ppoll(&p, 1, timeout, &waitMask);
            if (r < 0 && errno != EINTR)
                return Fail("poll");
            if (r > 0 && (p.revents & POLLIN)) {
                std::uint8_t buffer[256];
                const ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0) {
                    if (!Received(buffer, static_cast<std::size_t>(n)))
                        return HangUp();
                } else if (n < 0 && errno == EIO) {
                    if (HostClosed())
                        break;
                }
            } else if (r > 0 && (p.revents & POLLHUP)) {
                // Nobody has the line open: look again shortly.
                if (HostClosed())
                    break;
                // (A ppoll without descriptors, so that a stop signal gets through.)
                const timespec pause = ToTimespec(std::chrono::milliseconds(2));
                ppoll(nullptr, 0, &pause, &waitMask);
            }
            SendDue();
        }
        SaveMemory();
        log_.EndRun();
        return 0;
    }

private:
    bool Received(const std::uint8_t* data, std::size_t size)
    {
        const auto now = Clock::now();
        inSession_ = true;
        for (std::size_t i = 0; i < size; ++i) {
            log_.Bytes('>', data + i, 1);
            // The byte has crossed the line one character time after the
            // previous one did, and not before it was sent.
            lineIn_ = s_.pace ? std::max(now, lineIn_) + kByteTime : now;
            reply_.clear();
            RadioSimulator& radio = Radio(now);
            if (!radio.Receive(data[i], reply_))
                return false;
            if (row_)
                row_->Heard(data[i], reply_, now);
            const auto start =
                s_.pace ? lineIn_ : now + (radio.RepliedToHandshakeAck() ? kHandshakeAckTurnaround : kTurnaround);
            for (std::uint8_t byte : reply_) {
                const auto due = s_.pace ? std::max(start, lineOut_) + kByteTime : start;
                lineOut_ = due;
                out_.push_back({byte, UsbRelease(due)});
            }
        }
        return true;
    }

    // A USB serial chip collects what the radio sends and hands it on when
    // its latency timer runs out: a byte goes to the host at the first tick
    // after it has crossed the line.
    Clock::time_point UsbRelease(Clock::time_point due) const
    {
        return radiosim::UsbRelease(due, usbClockStart_, s_.usbLatencyMs);
    }

    void SendDue()
    {
        const auto now = Clock::now();
        std::uint8_t batch[64];
        std::size_t count = 0;
        while (!out_.empty() && out_.front().due <= now && count < sizeof batch) {
            batch[count++] = out_.front().byte;
            out_.pop_front();
        }
        if (count == 0)
            return;
        log_.Bytes('<', batch, count);
        if (write(master_, batch, count) < 0)
            out_.clear(); // the host has gone; the next poll says so
    }

    // The host has closed the line. Returns true when the simulator is done.
    bool HostClosed()
    {
        if (!inSession_)
            return false;
        inSession_ = false;
        out_.clear();
        Radio(Clock::now()).LineClosed();
        if (row_)
            row_->Closed(Clock::now());
        log_.Event("closed");
        SaveMemory();
        return s_.once && radio_.WakeUps() > 0;
    }

    int HangUp()
    {
        close(master_);
        log_.Event("hung up");
        SaveMemory();
        return 0;
    }

    // The radio on the line: the one radio, or the row's radio of the moment.
    RadioSimulator& Radio(Clock::time_point now) { return row_ ? row_->Current(now) : radio_; }

    void SaveMemory()
    {
        if (row_)
            row_->Save();
        if (s_.savePath.empty() || !radio_.MemoryChanged())
            return;
        std::string error;
        if (SaveDataFile(s_.savePath, radio_.Memory(), &error) == DataFileResult::Ok)
            radio_.MemorySaved();
        else
            std::fprintf(stderr, "radio-sim: %s\n", error.c_str());
    }

    int Fail(const char* what)
    {
        std::fprintf(stderr, "radio-sim: %s: %s\n", what, std::strerror(errno));
        return 1;
    }

    Settings s_;
    RadioSimulator radio_;
    std::unique_ptr<RadioRow> row_;
    int master_;
    LineLog log_;
    std::deque<PendingByte> out_;
    std::vector<std::uint8_t> reply_;
    Clock::time_point lineIn_{};
    Clock::time_point lineOut_{};
    Clock::time_point usbClockStart_ = Clock::now();
    bool inSession_ = false;
};

// Opens a pseudo-terminal and returns its master side; path receives the
// device the host opens.
int OpenLine(std::string& path)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    const char* name = ptsname(master);
    if (!name)
        return -1;
    path = name;
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    // The line starts raw, so that nothing is echoed or translated even
    // before the host configures it.
    const int slave = open(name, O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            cfsetispeed(&t, B9600);
            cfsetospeed(&t, B9600);
            tcsetattr(slave, TCSANOW, &t);
        }
        close(slave);
    }
    return master;
}

// With --link: the symbolic link to the line, there while the simulator
// runs. An existing link is replaced only when it leads nowhere (left behind
// by a simulator that was killed); anything else at the path is kept and
// the simulator does not start.
class LineLink
{
public:
    LineLink(std::string path, const std::string& target)
        : path_(std::move(path))
    {
        if (path_.empty())
            return;
        if (symlink(target.c_str(), path_.c_str()) == 0) {
            made_ = true;
            return;
        }
        struct stat st
        {};
        if (errno == EEXIST && lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && stat(path_.c_str(), &st) != 0 &&
            unlink(path_.c_str()) == 0 && symlink(target.c_str(), path_.c_str()) == 0)
            made_ = true;
    }
    ~LineLink()
    {
        if (made_)
            unlink(path_.c_str());
    }
    LineLink(const LineLink&) = delete;
    LineLink& operator=(const LineLink&) = delete;
    bool Failed() const { return !path_.empty() && !made_; }

private:
    std::string path_;
    bool made_ = false;
};

int Serve(const Settings& settings)
{
    // Stop signals are let through only while waiting for the line, so that
    // none is lost between a check and the wait.
    struct sigaction action
    {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigset_t waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGHUP);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);

    UsePreciseTimers();
    std::string path;
    const int master = OpenLine(path);
    if (master < 0) {
        std::fprintf(stderr, "radio-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    Simulation simulation(settings, master);
    if (simulation.LogFailed()) {
        std::fprintf(stderr, "radio-sim: cannot write %s\n", settings.logPath.c_str());
        return 1;
    }
    const LineLink link(settings.linkPath, path);
    if (link.Failed()) {
        std::fprintf(stderr, "radio-sim: cannot make the link %s: %s\n", settings.linkPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    return simulation.Run(waitMask);
}

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    int status = ParseSettings(argc, argv, settings);
    if (status < 0)
        status = Serve(settings);
    if (!settings.stopFile.empty()) {
        std::printf("exit %d\n", status);
        std::fflush(stdout);
    }
    return status;
}
