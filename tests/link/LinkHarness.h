#pragma once
// Process plumbing of the end-to-end link tests and the benchmark: radio-sim
// on a pseudo-terminal (under wine, linked into the prefix as a COM port),
// program-cli runs, scratch folders. One implementation per system:
// LinkHarnessPosix.cpp and LinkHarnessWin32.cpp.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace linktest {

// The whole file, bytes as they are; empty when it cannot be read.
std::string ReadText(const std::string& path);

// A scratch folder of its own, removed with everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const;
    // Where program-cli runs of this test keep the copies of their reads.
    std::string ReadCopies() const;

private:
    std::string path_;
};

// A radio-sim for the length of a test; options are its command line.
class Sim
{
public:
    explicit Sim(std::vector<std::string> options);
    ~Sim();
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;
    // The device the host opens: a pseudo-terminal, or a COM port under wine.
    const std::string& Device() const { return device_; }

    // Waits until a simulator started with --once has finished; its exit
    // status, -1 when it had to be stopped.
    int WaitForExit();
    void Stop();
#ifndef _WIN32
    // The simulator's next line of output after the device path (the row of
    // radios reports each radio's times); false after timeout or its end.
    bool ReadLine(std::string& line, std::chrono::milliseconds timeout);
#endif

private:
    struct Process;
    std::unique_ptr<Process> process_;
    std::string device_;
};

struct CliRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// From now on, reads of this process and of the program-cli runs it starts
// leave their copies in dir's data folder, never in the user's.
void UseDataFolder(const TempDir& dir);

// Runs program-cli with args to its end (at most a minute). Reads leave
// their copies in dir, never in the user's folders.
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args);

// Starts program-cli, presses Ctrl+C after delay and waits for it to end;
// sinceInterrupt receives the time from the press to its end. The run's
// status is -2 when the press could not be sent.
CliRun RunCliInterrupted(const TempDir& dir, const std::vector<std::string>& args, std::chrono::milliseconds delay,
                         std::chrono::steady_clock::duration& sinceInterrupt);

// Why a second open of a held serial port does not fail here; null when it
// does.
const char* ExclusiveOpenMissing();
// Why Ctrl+C cannot be pressed for program-cli here; null when it can.
const char* ConsoleInterruptMissing();

} // namespace linktest
