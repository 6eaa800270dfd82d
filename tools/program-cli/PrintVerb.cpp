// The print verb checks its arguments and the data file here, where no Qt is
// linked, then hands the drawing to the print helper: a small Qt program
// built with the desktop program and installed beside program-cli. Where the
// helper is missing, the verb says so in one line.

#include "Verbs.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#ifdef _WIN32
#include "core/util/Utf8Path.h"

#include <windows.h>
// The verb's own LoadImage, not the window system's.
#undef LoadImage
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: program-cli print FILE.dat -o OUT.pdf [--lang en|zh] [--mode 0|1|2] [--ini Program.ini]\n"
    "Write the printed listing of a data file as a PDF on A4 paper: the optional\n"
    "features on the first page, then the programmed channels, eight a page.\n"
    "A channel is listed when its Rx or its Tx frequency is set.\n"
    "\n"
    "  --mode 0|1|2   lay the channels out as the program's window does in that\n"
    "                 device mode: 1 the receive side, 2 the transmit side (the\n"
    "                 default, as the program starts), 0 both\n"
    "\n"
    "The foot of every page carries the \"Copyrights Owner\" text of the\n"
    "language's section of Program.ini: the one given, else the one beside\n"
    "program-cli or beside the installed desktop program.\n";

#ifdef _WIN32
constexpr const char* kHelperName = "program-print.exe";
#else
constexpr const char* kHelperName = "program-print";
#endif

std::string HelperMissing(const std::string& why)
{
    return "printing needs the Qt print helper " + std::string(kHelperName) + ", which is " + why;
}

#ifdef _WIN32
// One argument of a command line as the C runtime splits it again: quoted,
// with backslashes doubled before a quote and before the closing quote.
std::wstring QuotedArgument(const std::wstring& arg)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

// Runs the helper with the arguments, copying what it writes on its error
// output to err. Returns its exit status, or kExitFailed when it cannot run.
int RunHelper(const std::string& helper, const std::vector<std::string>& args, std::ostream& err)
{
    const auto systemError = [](const char* what) {
        return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
    };
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return Failure("print", systemError("cannot start the print helper"), err);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = QuotedArgument(WideFromUtf8(helper));
    for (const auto& arg : args)
        commandLine += L" " + QuotedArgument(WideFromUtf8(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(WideFromUtf8(helper).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    const std::string startError = started ? std::string() : systemError("cannot start the print helper");
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return Failure("print", startError + ": " + helper, err);
    }
    CloseHandle(process.hThread);

    // What the helper writes is copied until it has ended, not until the
    // pipe closes: a process the helper starts in turn (under wine, the
    // desktop process) may keep the pipe open long after.
    std::array<char, 4096> buffer{};
    const auto drain = [&] {
        DWORD available = 0;
        DWORD n = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
               ReadFile(readEnd, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr) && n > 0)
            err.write(buffer.data(), n);
    };
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT)
        drain();
    drain();
    CloseHandle(readEnd);

    DWORD status = 0;
    const BOOL got = GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    if (!got)
        return Failure("print", "the print helper stopped abnormally", err);
    return static_cast<int>(status);
}
#else
// Runs the helper with the arguments, copying what it writes on its error
// output to err. Returns its exit status, or kExitFailed when it cannot run.
int RunHelper(const std::string& helper, const std::vector<std::string>& args, std::ostream& err)
{
    std::array<int, 2> pipeEnds{};
    if (pipe(pipeEnds.data()) != 0)
        return Failure("print", std::string("cannot start the print helper: ") + std::strerror(errno), err);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(helper.c_str()));
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, helper.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return Failure("print", "cannot start the print helper " + helper + ": " + std::strerror(spawned), err);
    }

    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t n = read(pipeEnds[0], buffer.data(), buffer.size());
        if (n > 0)
            err.write(buffer.data(), n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(pipeEnds[0]);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return Failure("print", "the print helper stopped abnormally", err);
}
#endif

int RunPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"-o", "--lang", "--ini", "--mode"}, {}, a, err))
        return UsageError("print", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    bool chinese = false;
    if (!ParseLanguage(a, chinese, err))
        return UsageError("print", "bad language", err);
    int mode = 2;
    if (!ParseDeviceMode(a, mode, err))
        return UsageError("print", "bad device mode", err);
    if (a.positional.size() != 1)
        return UsageError("print", "expected one data file", err);
    const std::string output = a.Value("-o").value_or("");
    if (output.empty())
        return UsageError("print", "expected -o OUT.pdf", err);

    if (!RefuseSameFile("print", output, {a.positional[0]}, err))
        return kExitFailed;
    RadioImage image{};
    if (!LoadImage("print", a.positional[0], image, err))
        return kExitFailed;

    std::error_code ec;
    std::string ini = a.Value("--ini").value_or("");
    if (!ini.empty() && !std::filesystem::is_regular_file(ini, ec))
        return Failure("print", ini + ": no such configuration file", err);
    if (ini.empty())
        ini = FindBesideProgram("Program.ini");

    const std::string helper = FindBesideProgram(kHelperName);
#ifdef _WIN32
    if (helper.empty())
#else
    if (helper.empty() || access(helper.c_str(), X_OK) != 0)
#endif
        return Failure("print",
                       HelperMissing("not installed beside program-cli or the desktop program"
                                     " (build with the desktop program)"),
                       err);

    std::vector<std::string> helperArgs = {a.positional[0],     "-o", output, "--lang", chinese ? "zh" : "en", "--mode",
                                           std::to_string(mode)};
    if (!ini.empty()) {
        helperArgs.push_back("--ini");
        helperArgs.push_back(ini);
    }
    return RunHelper(helper, helperArgs, err);
}

} // namespace

const Verb kPrintVerb = {"print", "write the printed listing of a data file as a PDF", kUsage, &RunPrint};

} // namespace cli
