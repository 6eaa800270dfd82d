#pragma once
// Shared plumbing of the radio link tests: a radio-sim on a pseudo-terminal,
// program-cli runs, scratch files, and the bytes the simulator logged.

#include "core/document/DataFile.h"
#include "core/document/RadioImage.h"

#include "core/link/RadioTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace linktest {

inline pid_t Spawn(const std::vector<std::string>& argv, int stdoutFd, int stderrFd)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (stdoutFd >= 0)
            dup2(stdoutFd, STDOUT_FILENO);
        if (stderrFd >= 0)
            dup2(stderrFd, STDERR_FILENO);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Waits for a child at most timeout; kills it when it overstays. Returns
// its exit status, or -1 when it had to be killed.
inline int WaitFor(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

class TempDir
{
public:
    TempDir()
    {
        char pattern[] = "/tmp/link-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Where program-cli runs of this test keep the copies of their reads.
    std::string ReadCopies() const { return path_ + "/data/radio-programmer/radio-reads"; }

private:
    std::string path_;
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A radio on a pseudo-terminal for the length of a test.
class Sim
{
public:
    explicit Sim(std::vector<std::string> options)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        std::vector<std::string> argv = {RADIO_SIM_PATH};
        argv.insert(argv.end(), options.begin(), options.end());
        // The same cases run once more through a modelled USB cable, whose
        // chip hands the radio's bytes on in bursts.
        if (const char* latency = std::getenv("LINK_TEST_USB_LATENCY_MS"))
            argv.insert(argv.end(), {"--usb-latency", latency});
        pid_ = Spawn(argv, fds[1], -1);
        close(fds[1]);
        // The first line is the device path.
        char c = 0;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            device_ += c;
        close(fds[0]);
    }
    ~Sim() { Stop(); }
    const std::string& Device() const { return device_; }

    // Waits until a simulator started with --once has finished.
    int WaitForExit()
    {
        const int status = pid_ > 0 ? WaitFor(pid_, std::chrono::seconds(10)) : -1;
        pid_ = -1;
        return status;
    }
    void Stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        WaitFor(pid_, std::chrono::seconds(5));
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string device_;
};

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
{
    const std::string outPath = dir.File("cli.out");
    const std::string errPath = dir.File("cli.err");
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    // Reads leave their copies in the test's folder, never in the user's.
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    const pid_t pid = Spawn(argv, outFd, errFd);
    close(outFd);
    close(errFd);
    CliRun run;
    run.status = WaitFor(pid, std::chrono::seconds(60));
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

inline std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// A recognisable image: every byte differs from its neighbours and from an
// erased radio; offsets 0x330-0x3FF carry the fill byte.
inline RadioImage PatternImage(std::uint8_t seed, std::uint8_t tail)
{
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
    std::fill(image.begin() + ImageMap::kTransferEnd, image.end(), tail);
    return image;
}

inline std::string SaveImageFile(const TempDir& dir, const std::string& name, const RadioImage& image)
{
    const std::string path = dir.File(name);
    EXPECT_EQ(SaveDataFile(path, image), DataFileResult::Ok);
    return path;
}

inline RadioImage LoadImageFile(const std::string& path)
{
    RadioImage image{};
    EXPECT_EQ(LoadDataFile(path, image), DataFileResult::Ok) << path;
    return image;
}

inline std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char buffer[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buffer, sizeof buffer, " %02X", b);
        text += buffer;
    }
    return text;
}

// The simulator's log: one line per run of bytes in one direction, "> .."
// from the host and "< .." from the radio; event lines ("# ...") left out.
inline std::vector<std::string> WireLines(const std::string& logPath)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadText(logPath));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    return lines;
}

// The lines of a good handshake with a radio that answers late.
inline std::vector<std::string> HandshakeLines(const std::vector<std::uint8_t>& identity)
{
    return {"> 02 50 52 4F 47 52 41 4D", "< 06", "> 02", "<" + Hex(identity), "> 06", "< 06"};
}

inline std::vector<std::uint8_t> Identity(const std::string& ident, std::uint8_t model)
{
    // The ident, two bytes the host ignores, then the model code.
    std::vector<std::uint8_t> bytes(ident.size() + 3, 0x00);
    std::copy(ident.begin(), ident.end(), bytes.begin());
    bytes.back() = model;
    return bytes;
}

inline std::vector<std::uint8_t> Slice(const RadioImage& image, std::size_t offset, std::size_t size)
{
    return {image.begin() + static_cast<long>(offset), image.begin() + static_cast<long>(offset + size)};
}

inline std::vector<std::uint8_t> Header(std::uint8_t command, std::size_t address)
{
    return {command, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), 0x08};
}

// Frames of a read of memory, from address 0 up to (not including) end.
inline std::vector<std::string> ReadFrameLines(const RadioImage& memory, std::size_t end = ImageMap::kTransferEnd)
{
    std::vector<std::string> lines;
    for (std::size_t address = 0; address < end; address += 8) {
        auto reply = Header('W', address);
        const auto data = Slice(memory, address, 8);
        reply.insert(reply.end(), data.begin(), data.end());
        lines.insert(lines.end(), {">" + Hex(Header('R', address)), "<" + Hex(reply), "> 06", "< 06"});
    }
    return lines;
}

// Frames of a write of image, from address 0 up to (not including) end.
inline std::vector<std::string> WriteFrameLines(const RadioImage& image, std::size_t end = ImageMap::kTransferEnd)
{
    std::vector<std::string> lines;
    for (std::size_t address = 0; address < end; address += 8) {
        auto frame = Header('W', address);
        const auto data = Slice(image, address, 8);
        frame.insert(frame.end(), data.begin(), data.end());
        lines.insert(lines.end(), {">" + Hex(frame), "< 06"});
    }
    return lines;
}

inline std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Records what the engine shows and answers Cancel to every Retry.
class RecordingPrompter : public TransferPrompter
{
public:
    void ShowMessage(TransferMessage message) override { shown.push_back(message); }
    bool AskRetry(TransferMessage message) override
    {
        shown.push_back(message);
        return false;
    }
    std::vector<TransferMessage> shown;
};

}  // namespace linktest
