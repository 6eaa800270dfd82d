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
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/util/Utf8Path.h"
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace linktest {

inline std::string ReadText(const std::string& path)
{
#ifdef _WIN32
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
#else
    std::ifstream in(path, std::ios::binary);
#endif
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifndef _WIN32

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

// Starts program-cli, presses Ctrl+C after delay and waits for it to end;
// sinceInterrupt receives the time from the press to its end.
inline CliRun RunCliInterrupted(const TempDir& dir, const std::vector<std::string>& args,
                                std::chrono::milliseconds delay, std::chrono::steady_clock::duration& sinceInterrupt)
{
    const std::string errPath = dir.File("cli.err");
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int outFd = open("/dev/null", O_WRONLY);
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    const pid_t pid = Spawn(argv, outFd, errFd);
    close(errFd);
    close(outFd);
    std::this_thread::sleep_for(delay);
    kill(pid, SIGINT);
    const auto pressed = std::chrono::steady_clock::now();
    CliRun run;
    run.status = WaitFor(pid, std::chrono::seconds(10));
    sinceInterrupt = std::chrono::steady_clock::now() - pressed;
    run.err = ReadText(errPath);
    return run;
}

// Whether this system lets a second open of a held serial port fail.
inline const char* ExclusiveOpenMissing()
{
    return nullptr;
}

// Why Ctrl+C cannot be pressed for program-cli here; null when it can.
inline const char* ConsoleInterruptMissing()
{
    return nullptr;
}

#else  // _WIN32

// Under Windows the tests run in wine: program-cli.exe is a Windows
// process, radio-sim the Linux program, which wine starts without a process
// handle. The simulator therefore links its line into the wine prefix as a
// COM port (--link), ends when a stop file appears (--stop-file) and tells
// its exit status as the last line of its output.

inline bool UnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A Unix path as a Windows one (the simulator's and program-cli's paths
// come from the build machine), and a Windows path as a Unix one (the
// files handed to the simulator).
inline std::string WindowsPath(const std::string& path)
{
    using DosName = WCHAR* (*)(const char*);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto convert = kernel ? reinterpret_cast<DosName>(
                                      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
                                : nullptr;
    if (path.empty() || path[0] != '/' || !convert)
        return path;
    WCHAR* dos = convert(path.c_str());
    if (!dos)
        return path;
    const std::string result = Utf8FromWide(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

inline std::string UnixPath(const std::string& path)
{
    using UnixName = char* (*)(const WCHAR*);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto convert = kernel ? reinterpret_cast<UnixName>(
                                      reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                                : nullptr;
    if (!convert)
        return path;
    char* unix = convert(WideFromUtf8(path).c_str());
    if (!unix)
        return path;
    const std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// A command line that splits back into argv (the C runtime's rules; wine
// splits a Linux program's command line the same way).
inline std::wstring CommandLine(const std::vector<std::string>& argv)
{
    std::wstring line;
    for (const auto& arg : argv) {
        if (!line.empty())
            line += L' ';
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t c : WideFromUtf8(arg)) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, L'\\');
        line += L'"';
    }
    return line;
}

// Starts argv with the given standard handles (inheritable ones); returns
// the process handle, null for a Linux program under wine, or
// INVALID_HANDLE_VALUE when it could not start.
inline HANDLE Spawn(const std::vector<std::string>& argv, HANDLE in, HANDLE out, HANDLE err, DWORD flags = 0)
{
    std::vector<std::string> args = argv;
    args[0] = WindowsPath(args[0]);
    std::wstring line = CommandLine(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &info))
        return INVALID_HANDLE_VALUE;
    if (info.hThread)
        CloseHandle(info.hThread);
    return info.hProcess;
}

// Waits for a process at most timeout; ends it when it overstays. Returns
// its exit status, or -1 when it had to be ended.
inline int WaitFor(HANDLE process, std::chrono::milliseconds timeout)
{
    if (!process || process == INVALID_HANDLE_VALUE)
        return -1;
    DWORD status = 0;
    if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, INFINITE);
        status = static_cast<DWORD>(-1);
    } else {
        GetExitCodeProcess(process, &status);
    }
    CloseHandle(process);
    return static_cast<int>(status);
}

inline HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(WideFromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

class TempDir
{
public:
    TempDir()
    {
        static int count = 0;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = "link-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                     std::to_string(++count) + "-" + std::to_string(GetTickCount() % 100000);
            std::error_code error;
            if (std::filesystem::create_directory(base / name, error)) {
                path_ = Utf8FromPath(base / name);
                break;
            }
        }
    }
    ~TempDir()
    {
        std::error_code error;
        std::filesystem::remove_all(PathFromUtf8(path_), error);
    }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Where program-cli runs of this test keep the copies of their reads.
    std::string ReadCopies() const { return path_ + "\\data\\radio-programmer\\radio-reads"; }

private:
    std::string path_;
};

// A radio on a pseudo-terminal, linked into the wine prefix as a COM port,
// for the length of a test. Wine hands a Linux program neither a process
// handle nor pipes, only files: the simulator writes its output to a file
// of its own folder and ends when a stop file appears there.
class Sim
{
public:
    explicit Sim(std::vector<std::string> options)
    {
        // Files go to the simulator by their Unix names.
        for (std::size_t i = 0; i + 1 < options.size(); ++i)
            if (options[i] == "--log" || options[i] == "--image" || options[i] == "--save")
                options[i + 1] = UnixPath(options[i + 1]);
        if (const char* latency = std::getenv("LINK_TEST_USB_LATENCY_MS"))
            options.insert(options.end(), {"--usb-latency", latency});
        std::string prefix;
        if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine)
            prefix = wine;
        else if (const char* home = std::getenv("HOME"))
            prefix = std::string(home) + "/.wine";
        // A COM number of this process and simulator; one that another
        // simulator holds is refused by radio-sim, then the next is tried.
        static unsigned next = 0;
        for (int attempt = 0; attempt < 40 && device_.empty(); ++attempt) {
            const unsigned number = 20 + (GetCurrentProcessId() * 37 + next++) % 231;
            std::vector<std::string> argv = {RADIO_SIM_PATH};
            argv.insert(argv.end(), options.begin(), options.end());
            argv.insert(argv.end(), {"--stop-file", UnixPath(StopFile()), "--link",
                                     prefix + "/dosdevices/com" + std::to_string(number)});
            if (!Start(argv))
                continue;
            const std::string first = ReadLine(std::chrono::seconds(10));
            if (first.rfind("/dev/", 0) == 0)
                device_ = "\\\\.\\COM" + std::to_string(number);
            else if (first.rfind("exit ", 0) == 0)
                running_ = false;  // the number was taken
            else
                Stop();
        }
    }
    ~Sim() { Stop(); }
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
    const std::string& Device() const { return device_; }

    // Waits until a simulator started with --once has finished.
    int WaitForExit() { return Finish(std::chrono::seconds(10)); }
    void Stop() { Finish(std::chrono::milliseconds(0)); }

private:
    std::string StopFile() const { return dir_.File("stop"); }

    bool Start(const std::vector<std::string>& argv)
    {
        DeleteFileW(WideFromUtf8(StopFile()).c_str());
        const HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
        const HANDLE out = InheritableFile(dir_.File("sim.out"), GENERIC_WRITE, CREATE_ALWAYS);
        const HANDLE process = Spawn(argv, in, out, GetStdHandle(STD_ERROR_HANDLE));
        CloseHandle(in);
        CloseHandle(out);
        read_ = 0;
        pending_.clear();
        running_ = process != INVALID_HANDLE_VALUE;
        if (process && process != INVALID_HANDLE_VALUE)
            CloseHandle(process);
        return running_;
    }

    // The next line of the simulator's output; empty when none came within
    // timeout.
    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto end = pending_.find('\n'); end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            const std::string text = ReadText(dir_.File("sim.out"));
            if (text.size() > read_) {
                pending_ += text.substr(read_);
                read_ = text.size();
                continue;
            }
            if (std::chrono::steady_clock::now() > deadline)
                return {};
            Sleep(2);
        }
    }

    // Waits for a running simulator to end, at most timeout, then asks it to
    // stop; returns its exit status, -1 when it did not end by itself.
    int Finish(std::chrono::milliseconds timeout)
    {
        if (!running_)
            return -1;
        running_ = false;
        int status = -1;
        bool stopAsked = false;
        for (;;) {
            const std::string line = ReadLine(timeout);
            if (line.rfind("exit ", 0) == 0) {
                if (!stopAsked)
                    status = std::atoi(line.c_str() + 5);
                break;
            }
            if (line.empty()) {
                if (stopAsked)
                    break;  // gone without a word
                std::ofstream(PathFromUtf8(StopFile())) << "stop\n";
                stopAsked = true;
                timeout = std::chrono::seconds(5);
            }
        }
        return status;
    }

    TempDir dir_;
    bool running_ = false;
    std::size_t read_ = 0;  // bytes of the output read so far
    std::string pending_;
    std::string device_;
};

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// Starts program-cli with standard output and error going to files of dir;
// reads leave their copies in the test's folder, never in the user's.
inline HANDLE StartCli(const TempDir& dir, const std::vector<std::string>& args, DWORD flags = 0)
{
    const HANDLE out = InheritableFile(dir.File("cli.out"), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = InheritableFile(dir.File("cli.err"), GENERIC_WRITE, CREATE_ALWAYS);
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    SetEnvironmentVariableW(L"LOCALAPPDATA", WideFromUtf8(dir.File("data")).c_str());
    const HANDLE process = Spawn(argv, GetStdHandle(STD_INPUT_HANDLE), out, err, flags);
    CloseHandle(out);
    CloseHandle(err);
    return process;
}

// What a console program wrote: its lines end in CR LF on Windows; the
// tests compare them with LF alone.
inline std::string ConsoleText(const std::string& path)
{
    std::string text = ReadText(path);
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

inline CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
{
    const HANDLE process = StartCli(dir, args);
    const DWORD startError = process == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    CliRun run;
    run.status = WaitFor(process, std::chrono::seconds(60));
    run.out = ConsoleText(dir.File("cli.out"));
    run.err = ConsoleText(dir.File("cli.err"));
    // A run that never started says why, so that a failure explains itself.
    if (startError != 0)
        run.err += "(the test could not start program-cli: error " + std::to_string(startError) + ")";
    else if (run.status == -1)
        run.err += "(program-cli did not end within 60 s)";
    return run;
}

// Starts program-cli, presses Ctrl+Break (which it takes as Ctrl+C) after
// delay and waits for it to end; sinceInterrupt receives the time from the
// press to its end. The run's status is -2 when no console event could be
// sent.
// Why Ctrl+C cannot be pressed for program-cli here; null when it can. A
// console event reaches only the processes of a console, so there must be
// one (wine without a terminal has none and can make none).
inline const char* ConsoleInterruptMissing()
{
    if (GetConsoleWindow() || AllocConsole())
        return nullptr;
    return "no console here to send Ctrl+C through";
}

inline CliRun RunCliInterrupted(const TempDir& dir, const std::vector<std::string>& args,
                                std::chrono::milliseconds delay, std::chrono::steady_clock::duration& sinceInterrupt)
{
    // A new process group, so that the event reaches program-cli alone.
    DWORD processId = 0;
    const HANDLE process = StartCli(dir, args, CREATE_NEW_PROCESS_GROUP);
    if (process && process != INVALID_HANDLE_VALUE)
        processId = GetProcessId(process);
    std::this_thread::sleep_for(delay);
    const bool sent = processId != 0 && GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, processId);
    const auto pressed = std::chrono::steady_clock::now();
    CliRun run;
    run.status = WaitFor(process, std::chrono::seconds(10));
    sinceInterrupt = std::chrono::steady_clock::now() - pressed;
    if (!sent)
        run.status = -2;
    run.err = ConsoleText(dir.File("cli.err"));
    return run;
}

// Whether this system lets a second open of a held serial port fail; the
// reason to skip a test that needs it when not.
inline const char* ExclusiveOpenMissing()
{
    return UnderWine() ? "wine does not enforce exclusive COM port opens" : nullptr;
}

#endif

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
