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

constexpr const char* kUsage =
    "Usage: program-cli read --port PORT -o OUT.dat [--base BASE.dat] [--retries N]\n"
    "Read the radio's memory into a data file.\n"
    "\n"
    "  --port PORT      a device path (/dev/ttyUSB0, a pseudo-terminal, ...) or a\n"
    "                   port number 1-16: the serial devices present, USB cables\n"
    "                   first (/dev/ttyUSB*, then /dev/ttyACM*), then /dev/ttyS*\n"
    "  -o OUT.dat       the data file to write; written only after a complete read\n"
    "  --base BASE.dat  the image the radio's bytes go into (default: a new image);\n"
    "                   offsets 0x330-0x3FF, which the radio does not hold, come from it\n"
    "  --retries N      answer Retry to the first N communication errors (default 0)\n"
    "\n"
    "The last line of the output is \"device mode: N\" (0, 1 or 2, from the radio's model).\n";

// Reads --retries: a whole number from 0 to 1000, 0 when absent.
bool ParseRetries(const Arguments& args, int& retries)
{
    const std::string text = args.Value("--retries").value_or("0");
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, retries);
    return error == std::errc() && last == end && retries >= 0 && retries <= 1000;
}

int RunRead(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"--port", "-o", "--base", "--retries"}, {}, a, err))
        return UsageError("read", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    const auto port = a.Value("--port");
    const auto output = a.Value("-o");
    if (!port || !output || !a.positional.empty())
        return UsageError("read", "expected --port PORT -o OUT.dat", err);
    int retries = 0;
    if (!ParseRetries(a, retries))
        return UsageError("read", "--retries takes a number from 0 to 1000", err);

    RadioImage image = MakeNewImage();
    if (const auto base = a.Value("--base"); base && !LoadImage("read", *base, image, err))
        return kExitFailed;

    const std::string device = ResolvePortArgument(*port);
    const std::string prefix = "program-cli read: ";
    if (device.empty()) {
        err << prefix << TransferMessageEnglishText(TransferMessage::CannotOpenPort) << "\n";
        return Failure("read", "no serial device has the port number " + *port, err);
    }
    UsePreciseTimers();
    PosixSerialPort serial;
    ConsolePump pump(err, &err == &std::cerr && isatty(STDERR_FILENO));
    ConsolePrompter prompter(prefix, retries, err, &pump);
    const TransferResult result = RadioTransfer(serial, prompter, pump).Read(device, image);
    pump.Finish();
    if (result.outcome != TransferOutcome::Completed) {
        ReportTransferEnd(result, device, prefix, err);
        return kExitFailed;
    }
    if (!SaveImage("read", *output, image, err))
        return kExitFailed;
    out << "read " << device << " into " << *output << "\n"
        << "device mode: " << result.deviceMode << "\n";
    return kExitOk;
}

}  // namespace

const Verb kReadVerb = {"read", "read a radio's memory into a data file", kUsage, &RunRead};

}  // namespace cli
