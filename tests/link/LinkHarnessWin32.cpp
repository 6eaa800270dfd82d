// The link harness on Windows, where the tests run in wine: program-cli.exe
// is a Windows process, radio-sim the Linux program, which wine starts
// without a process handle. The simulator therefore links its line into the
// wine prefix as a COM port (--link), ends when a stop file appears
// (--stop-file) and tells its exit status as the last line of its output.

#include "LinkHarness.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/util/Utf8Path.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <thread>

namespace linktest {
namespace {

bool UnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A Unix path as a Windows one (the simulator's and program-cli's paths
// come from the build machine), and a Windows path as a Unix one (the
// files handed to the simulator).
std::string WindowsPath(const std::string& path)
{
    using DosName = WCHAR* (*)(const char*);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto convert =
        kernel ? reinterpret_cast<DosName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
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

std::string UnixPath(const std::string& path)
{
    using UnixName = char* (*)(const WCHAR*);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto convert =
        kernel ? reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
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
std::wstring CommandLine(const std::vector<std::string>& argv)
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
HANDLE Spawn(const std::vector<std::string>& argv, HANDLE in, HANDLE out, HANDLE err, DWORD flags = 0)
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
int WaitFor(HANDLE process, std::chrono::milliseconds timeout)
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

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(WideFromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts program-cli with standard output and error going to files of dir;
// reads leave their copies in the test's folder, never in the user's.
HANDLE StartCli(const TempDir& dir, const std::vector<std::string>& args, DWORD flags = 0)
{
    const HANDLE out = InheritableFile(dir.File("cli.out"), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = InheritableFile(dir.File("cli.err"), GENERIC_WRITE, CREATE_ALWAYS);
    std::vector<std::string> argv = {PROGRAM_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    UseDataFolder(dir);
    const HANDLE process = Spawn(argv, GetStdHandle(STD_INPUT_HANDLE), out, err, flags);
    CloseHandle(out);
    CloseHandle(err);
    return process;
}

// What a console program wrote: its lines end in CR LF on Windows; the
// tests compare them with LF alone.
std::string ConsoleText(const std::string& path)
{
    std::string text = ReadText(path);
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

} // namespace

std::string ReadText(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir()
{
    static int count = 0;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "link-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) +
                                 "-" + std::to_string(GetTickCount() % 100000);
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = Utf8FromPath(base / name);
            break;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code error;
    if (!path_.empty())
        std::filesystem::remove_all(PathFromUtf8(path_), error);
}

std::string TempDir::File(const std::string& name) const
{
    return path_ + "\\" + name;
}

std::string TempDir::ReadCopies() const
{
    return path_ + "\\data\\radio-programmer\\radio-reads";
}

void UseDataFolder(const TempDir& dir)
{
    const std::wstring data = WideFromUtf8(dir.File("data"));
    _wputenv_s(L"LOCALAPPDATA", data.c_str());
    SetEnvironmentVariableW(L"LOCALAPPDATA", data.c_str());
}

// Wine hands a Linux program neither a process handle nor pipes, only
// files: the simulator writes its output to a file of its own folder and
// ends when a stop file appears there.
struct Sim::Process
{
    std::string StopFile() const { return dir.File("stop"); }

    bool Start(const std::vector<std::string>& argv)
    {
        DeleteFileW(WideFromUtf8(StopFile()).c_str());
        const HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
        const HANDLE out = InheritableFile(dir.File("sim.out"), GENERIC_WRITE, CREATE_ALWAYS);
        const HANDLE process = Spawn(argv, in, out, GetStdHandle(STD_ERROR_HANDLE));
        CloseHandle(in);
        CloseHandle(out);
        read = 0;
        pending.clear();
        running = process != INVALID_HANDLE_VALUE;
        if (process && process != INVALID_HANDLE_VALUE)
            CloseHandle(process);
        return running;
    }

    // The next line of the simulator's output; empty when none came within
    // timeout.
    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto end = pending.find('\n'); end != std::string::npos) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                return line;
            }
            const std::string text = ReadText(dir.File("sim.out"));
            if (text.size() > read) {
                pending += text.substr(read);
                read = text.size();
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
        if (!running)
            return -1;
        running = false;
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
                    break; // gone without a word
                std::ofstream(PathFromUtf8(StopFile())) << "stop\n";
                stopAsked = true;
                timeout = std::chrono::seconds(5);
            }
        }
        return status;
    }

    TempDir dir;
    bool running = false;
    std::size_t read = 0; // bytes of the output read so far
    std::string pending;
};

Sim::Sim(std::vector<std::string> options)
    : process_(std::make_unique<Process>())
{
    // Files go to the simulator by their Unix names.
    for (std::size_t i = 0; i + 1 < options.size(); ++i)
        if (options[i] == "--log" || options[i] == "--image" || options[i] == "--save")
            options[i + 1] = UnixPath(options[i + 1]);
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
        argv.insert(argv.end(), {"--stop-file", UnixPath(process_->StopFile()), "--link",
                                 prefix + "/dosdevices/com" + std::to_string(number)});
        if (!process_->Start(argv))
            continue;
        const std::string first = process_->ReadLine(std::chrono::seconds(10));
        if (first.rfind("/dev/", 0) == 0)
            device_ = "\\\\.\\COM" + std::to_string(number);
        else if (first.rfind("exit ", 0) == 0)
            process_->running = false; // the number was taken
        else
            Stop();
    }
}

Sim::~Sim()
{
    Stop();
}

int Sim::WaitForExit()
{
    return process_->Finish(std::chrono::seconds(10));
}

void Sim::Stop()
{
    process_->Finish(std::chrono::milliseconds(0));
}

CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args)
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

// A console event reaches only the processes of a console, so there must be
// one (wine without a terminal has none and can make none).
const char* ConsoleInterruptMissing()
{
    if (GetConsoleWindow() || AllocConsole())
        return nullptr;
    return "no console here to send Ctrl+C through";
}

// Ctrl+Break stands for Ctrl+C: program-cli takes both.
CliRun RunCliInterrupted(const TempDir& dir, const std::vector<std::string>& args, std::chrono::milliseconds delay,
                         std::chrono::steady_clock::duration& sinceInterrupt)
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

const char* ExclusiveOpenMissing()
{
    return UnderWine() ? "wine does not enforce exclusive COM port opens" : nullptr;
}

} // namespace linktest
