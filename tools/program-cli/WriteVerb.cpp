#include "Verbs.h"

#include "core/link/ConsoleTransfer.h"
#include "core/link/PortNames.h"
#include "core/link/PosixSerialPort.h"
#include "core/link/Timing.h"
#include "core/link/TransferMessages.h"

#include <charconv>
#include <iostream>
#include <unistd.h>

namespace cli {
namespace {

// Reads --retries: a whole number from 0 to 1000, 0 when absent.
bool ParseRetries(const Arguments& args, int& retries)
{
    const std::string text = args.Value("--retries").value_or("0");
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, retries);
    return error == std::errc() && last == end && retries >= 0 && retries <= 1000;
}

constexpr const char* kUsage =
    "Usage: program-cli write --port PORT FILE.dat [--retries N]\n"
    "Write a data file's image to the radio (offsets 0x000-0x32F).\n"
    "\n"
    "  --port PORT      a device path (/dev/ttyUSB0, a pseudo-terminal, ...) or a\n"
    "                   port number 1-16: the serial devices present, USB cables\n"
    "                   first (/dev/ttyUSB*, then /dev/ttyACM*), then /dev/ttyS*\n"
    "  --retries N      answer Retry to the first N communication errors (default 0)\n";

int RunWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"--port", "--retries"}, {}, a, err))
        return UsageError("write", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    const auto port = a.Value("--port");
    if (!port || a.positional.size() != 1)
        return UsageError("write", "expected --port PORT FILE.dat", err);
    int retries = 0;
    if (!ParseRetries(a, retries))
        return UsageError("write", "--retries takes a number from 0 to 1000", err);

    RadioImage image{};
    if (!LoadImage("write", a.positional[0], image, err))
        return kExitFailed;

    const std::string device = ResolvePortArgument(*port);
    const std::string prefix = "program-cli write: ";
    if (device.empty()) {
        err << prefix << TransferMessageEnglishText(TransferMessage::CannotOpenPort) << "\n";
        return Failure("write", "no serial device has the port number " + *port, err);
    }
    UsePreciseTimers();
    PosixSerialPort serial;
    ConsolePump pump(err, &err == &std::cerr && isatty(STDERR_FILENO));
    ConsolePrompter prompter(prefix, retries, err, &pump);
    const TransferResult result = RadioTransfer(serial, prompter, pump).Write(device, image);
    pump.Finish();
    if (result.outcome != TransferOutcome::Completed) {
        ReportTransferEnd(result, device, prefix, err);
        return kExitFailed;
    }
    out << "wrote " << a.positional[0] << " to " << device << "\n";
    return kExitOk;
}

}  // namespace

const Verb kWriteVerb = {"write", "write a data file to a radio", kUsage, &RunWrite};

}  // namespace cli
