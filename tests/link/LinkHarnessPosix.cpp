// The link harness on Linux: radio-sim and program-cli are child processes,
// the radio's line a pseudo-terminal.

#include "LinkHarness.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace linktest {
namespace {

pid_t Spawn(const std::vector<std::string>& argv, int stdoutFd, int stderrFd)
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
int WaitFor(pid_t pid, std::chrono::milliseconds timeout)
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

pid_t StartCli(const TempDir& dir, const std::vector<std::string>& args, int outFd, int errFd)
{
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    UseDataFolder(dir);
    return Spawn(argv, outFd, errFd);
}

} // namespace

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/link-test-XXXXXX";
    if (const char* made = mkdtemp(pattern))
        path_ = made;
}

TempDir::~TempDir()
{
    std::error_code error;
    if (!path_.empty())
        std::filesystem::remove_all(path_, error);
}

std::string TempDir::File(const std::string& name) const
{
    return path_ + "/" + name;
}

std::string TempDir::ReadCopies() const
{
    return path_ + "/data/radio-programmer/radio-reads";
}

void UseDataFolder(const TempDir& dir)
{
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
}

struct Sim::Process
{
    pid_t pid = -1;
    int out = -1; // the simulator's standard output

    ~Process()
    {
        if (out >= 0)
            close(out);
    }
};

Sim::Sim(std::vector<std::string> options)
    : process_(std::make_unique<Process>())
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    std::vector<std::string> argv = {RADIO_SIM_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    process_->pid = Spawn(argv, fds[1], -1);
    close(fds[1]);
    // The first line is the device path.
    char c = 0;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        device_ += c;
    process_->out = fds[0];
}

bool Sim::ReadLine(std::string& line, std::chrono::milliseconds timeout)
{
    line.clear();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd p{process_->out, POLLIN, 0};
    char c = 0;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (process_->out < 0 || left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
            read(process_->out, &c, 1) != 1)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
}

Sim::~Sim()
{
    Stop();
}

int Sim::WaitForExit()
{
    const int status = process_->pid > 0 ? WaitFor(process_->pid, std::chrono::seconds(10)) : -1;
    process_->pid = -1;
    return status;
}

void Sim::Stop()
{
    if (process_->pid <= 0)
        return;
    kill(process_->pid, SIGTERM);
    WaitFor(process_->pid, std::chrono::seconds(5));
    process_->pid = -1;
}

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
{
    const std::string outPath = dir.File("cli.out");
    const std::string errPath = dir.File("cli.err");
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t pid = StartCli(dir, args, outFd, errFd);
    close(outFd);
    close(errFd);
    CliRun run;
    run.status = WaitFor(pid, std::chrono::seconds(60));
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

CliRun RunCliInterrupted(const TempDir& dir, const std::vector<std::string>& args, std::chrono::milliseconds delay,
                         std::chrono::steady_clock::duration& sinceInterrupt)
{
    const std::string errPath = dir.File("cli.err");
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int outFd = open("/dev/null", O_WRONLY);
    const pid_t pid = StartCli(dir, args, outFd, errFd);
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

const char* ExclusiveOpenMissing()
{
    return nullptr;
}

const char* ConsoleInterruptMissing()
{
    return nullptr;
}

} // namespace linktest
