#include "TransferVerb.h"
#include "Verbs.h"

#include "core/link/ConsoleTransfer.h"
#include "core/link/FleetLog.h"
#include "core/link/FleetRun.h"
#include "core/link/PortNames.h"
#include "core/link/ReadCopies.h"
#include "core/link/SystemSerialPort.h"
#include "core/link/TransferMessages.h"

#include <charconv>
#include <ctime>
#include <iostream>
#include <ostream>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli fleet IMAGE.dat --port PORT [--log FILE.csv] [--count N]\n"
                               "                         [--whole-image] [--retries N]\n"
                               "Write one data file to many radios in a row, one after the other on the\n"
                               "same port: connect a radio and switch it on, wait for its line, take the\n"
                               "next. Each radio is read first (the read copy is its backup), checked,\n"
                               "written and read back to verify; then the run waits until it has been\n"
                               "switched off or unplugged (no answer for a second), so a radio left\n"
                               "connected is never written twice.\n"
                               "\n"
#ifdef _WIN32
                               "  --port PORT      a COM port by its name or number: COM3 or 3\n"
#else
                               "  --port PORT      a device path (/dev/ttyUSB0, ...) or a port number 1-16\n"
                               "                   as 'program-cli ports' lists them\n"
#endif
                               "  --log FILE.csv   the log (default: fleet-YYYY-MM-DD_HH-MM-SS.csv in\n"
#ifdef _WIN32
                               "                   %LOCALAPPDATA%\\radio-programmer\\fleet-logs)\n"
#else
                               "                   $XDG_DATA_HOME/radio-programmer/fleet-logs, ~/.local/share\n"
                               "                   when XDG_DATA_HOME is unset)\n"
#endif
                               "  --count N        stop after N radios written\n"
                               "  --whole-image    write the file's whole range 0x000-0x32F as 'write' does,\n"
                               "                   for radios known to be alike; by default each radio keeps\n"
                               "                   its own bytes and gets only the channels (0x010-0x10F), the\n"
                               "                   scan list (0x17E-0x17F) and the twelve optional features\n"
                               "  --retries N      answer Retry to the first N communication errors of each\n"
                               "                   write and verify (default 0)\n"
                               "\n"
                               "A radio whose identity or model code differs from the first radio's, or\n"
                               "whose radio type or band differs from the file's, is skipped. A fault\n"
                               "ends that radio as failed and the run goes on with the next one.\n"
                               "\n"
                               "One line per radio on stdout as it ends, for example\n"
                               "  radio 3: written and verified (P3207 F5), backup .../2026-12-10_09-14-03.dat\n"
                               "The log (CSV, UTF-8) has the columns Radio,Time,Port,Identity,Model,Result,\n"
                               "Detail,Backup and is replaced after every radio, so it is complete whenever\n"
                               "the run stops.\n"
                               "\n"
                               "Ctrl+C stops the run: between radios at once; during a transfer at the next\n"
                               "frame, that radio then counts as failed.\n"
                               "Exit status: 0 when every radio taken was written and verified, 1 when any\n"
                               "failed or was skipped (or the port could not be used), 2 on wrong usage.\n";

bool StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

// The run as the console sees it: a line per radio on out, the waiting
// notice and the progress bar on err, the log after every radio, Ctrl+C.
class ConsoleFleet final : public FleetObserver
{
public:
    ConsoleFleet(std::ostream& out, std::ostream& err, FleetLog& log, bool drawProgress)
        : out_(out)
        , err_(err)
        , log_(log)
        , pump_(err, drawProgress)
    {}

    bool Cancelled() override { return pump_.Interrupted(); }
    void Progress(int position) override { pump_.SetProgress(position); }
    void StepChanged(FleetStep step, int) override
    {
        pump_.Finish();
        if (step == FleetStep::Waiting)
            err_ << "program-cli fleet: Connect the next radio and switch it on.\n";
    }
    void RadioEnded(const FleetRecord& record) override
    {
        pump_.Finish();
        const std::string label = RadioLabel(record.identity, record.model);
        out_ << "radio " << record.radio << ": ";
        if (record.result == FleetResult::Written)
            out_ << "written and verified (" << label << ")";
        else
            out_ << FleetResultWord(record.result) << " (" << label << "): " << FleetDetailText(record, false);
        if (!record.backup.empty())
            out_ << ", backup " << record.backup;
        out_ << std::endl;
        std::string error;
        if (!log_.Add(record, &error)) {
            err_ << "program-cli fleet: the log could not be written: " << error << "\n";
            logFailed_ = true;
        }
    }
    bool LogFailed() const { return logFailed_; }
    void Finish() { pump_.Finish(); }

private:
    std::ostream& out_;
    std::ostream& err_;
    FleetLog& log_;
    ConsolePump pump_;
    bool logFailed_ = false;
};

int RunFleetVerb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"--port", "--log", "--count", "--retries"}, {"--whole-image"}, a, err))
        return UsageError("fleet", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    const auto port = a.Value("--port");
    if (!port || a.positional.size() != 1)
        return UsageError("fleet", "expected IMAGE.dat --port PORT", err);
    int retries = 0;
    if (!ParseRetries(a, retries))
        return UsageError("fleet", "--retries takes a number from 0 to 1000", err);
    int count = 0;
    if (const auto text = a.Value("--count")) {
        const char* end = text->data() + text->size();
        const auto [last, error] = std::from_chars(text->data(), end, count);
        if (error != std::errc() || last != end || count < 1)
            return UsageError("fleet", "--count takes a number of radios from 1", err);
    }

    FleetOptions options;
    if (!LoadImage("fleet", a.positional[0], options.document, err))
        return kExitFailed;
    options.device = ResolvePortArgument(*port);
    if (options.device.empty()) {
        err << "program-cli fleet: " << TransferMessageEnglishText(TransferMessage::CannotOpenPort)
            << " (no serial device has the port number " << *port << ")\n";
        return kExitFailed;
    }
    options.wholeImage = a.Flag("--whole-image");
    options.count = count;
    options.retries = retries;
    std::string note;
    options.backupDirectory = ReadCopiesDirectory(&note);
    if (!note.empty())
        err << "program-cli fleet: " << note << "\n";

    FleetLog log(a.Value("--log").value_or(DefaultFleetLogPath(std::time(nullptr))));
    UsePreciseTimers();
    SystemSerialPort serial;
    SystemFleetClock clock;
    ConsoleFleet console(out, err, log, &err == &std::cerr && StandardErrorIsTerminal());
    const FleetSummary summary = RunFleet(serial, console, clock, options);
    console.Finish();

    if (summary.portFailed) {
        TransferResult failure;
        failure.message = summary.disconnected ? std::optional<TransferMessage>() : TransferMessage::CannotOpenPort;
        failure.openError = summary.openError;
        failure.disconnected = summary.disconnected;
        ReportTransferEnd(failure, options.device, "program-cli fleet: ", err);
    }
    if (summary.cancelled)
        err << "program-cli fleet: stopped\n";
    err << "program-cli fleet: written " << summary.written << ", failed " << summary.failed << ", skipped "
        << summary.skipped;
    if (summary.Taken() > 0)
        err << "; log " << log.Path();
    err << "\n";
    const bool allWritten = summary.failed == 0 && summary.skipped == 0;
    return allWritten && !summary.portFailed && !console.LogFailed() ? kExitOk : kExitFailed;
}

} // namespace

const Verb kFleetVerb = {"fleet", "write a data file to many radios in a row", kUsage, &RunFleetVerb};

} // namespace cli
