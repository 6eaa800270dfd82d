#include "TransferVerb.h"
#include "Verbs.h"

#include <ostream>

namespace cli {
namespace {

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

    std::string device;
    const TransferResult result = RunConsoleTransfer(
        "write", *port, retries, [&](RadioTransfer& engine, const std::string& d) { return engine.Write(d, image); }, device,
        err);
    if (result.outcome != TransferOutcome::Completed)
        return kExitFailed;
    out << "wrote " << a.positional[0] << " to " << device << "\n";
    return kExitOk;
}

}  // namespace

const Verb kWriteVerb = {"write", "write a data file to a radio", kUsage, &RunWrite};

}  // namespace cli
