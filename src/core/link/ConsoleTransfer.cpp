#include "core/link/ConsoleTransfer.h"

#include "core/link/PortNames.h"
#include "core/link/TransferMessages.h"

#include <atomic>
#include <csignal>
#include <ostream>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The console calls its control handlers on a thread of its own.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE; // closing the console, logging off: the default ends the program
    g_interrupted = true;
    return TRUE;
}
#else
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
}
#endif

constexpr int kProgressEnd = 51;

// A console message is one line: the line breaks that a message box shows
// become blanks.
std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    return text;
}

} // namespace

ConsolePrompter::ConsolePrompter(std::string prefix, int retries, std::ostream& err, ConsolePump* pump)
    : prefix_(std::move(prefix))
    , retries_(retries)
    , err_(err)
    , pump_(pump)
{}

void ConsolePrompter::ShowMessage(TransferMessage message)
{
    if (pump_)
        pump_->Finish();
    // The port failure is reported by ReportTransferEnd, on one line with
    // its reason.
    if (message == TransferMessage::CannotOpenPort)
        return;
    err_ << prefix_ << OneLine(TransferMessageEnglishText(message)) << "\n";
}

bool ConsolePrompter::AskRetry(TransferMessage message)
{
    if (pump_)
        pump_->Finish();
    err_ << prefix_ << OneLine(TransferMessageEnglishText(message));
    if (retried_ >= retries_) {
        err_ << "\n";
        return false;
    }
    ++retried_;
    err_ << " (retrying, " << retried_ << " of " << retries_ << ")\n";
    return true;
}

ConsolePump::ConsolePump(std::ostream& err, bool drawProgress)
    : err_(err)
    , drawProgress_(drawProgress)
{
    g_interrupted = 0;
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    struct sigaction action
    {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt_);
#endif
}

ConsolePump::~ConsolePump()
{
    Finish();
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
#else
    sigaction(SIGINT, &previousInterrupt_, nullptr);
#endif
}

bool ConsolePump::PumpStep()
{
    return g_interrupted;
}

bool ConsolePump::Interrupted()
{
    return g_interrupted;
}

void ConsolePump::SetProgress(int position)
{
    if (!drawProgress_)
        return;
    constexpr int kWidth = 34;
    const int filled = position * kWidth / kProgressEnd;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << position << "/" << kProgressEnd
         << std::flush;
    barShown_ = true;
}

void ConsolePump::Finish()
{
    if (barShown_)
        err_ << "\n";
    barShown_ = false;
}

void ReportTransferEnd(const TransferResult& result, const std::string& device, const std::string& prefix,
                       std::ostream& err)
{
    if (result.outcome == TransferOutcome::Cancelled)
        err << prefix << "cancelled\n";
    if (result.disconnected)
        err << prefix << DisconnectedText(device, false) << "\n";
    if (IsPartialWrite(result))
        err << prefix << PartialWriteText(result.frames, false) << "\n";
    if (result.message != TransferMessage::CannotOpenPort)
        return;
    err << prefix << TransferMessageEnglishText(TransferMessage::CannotOpenPort);
    if (result.openError) {
        err << " (" << device << ": " << result.openError.message();
        if (result.openError == std::errc::permission_denied ||
            result.openError == std::errc::operation_not_permitted) {
            const std::string hint = PortPermissionHint(device);
            if (!hint.empty())
                err << ". " << OneLine(hint);
        }
        err << ")";
    }
    err << "\n";
}
