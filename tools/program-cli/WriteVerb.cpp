#include "TransferVerb.h"
#include "Verbs.h"

#include "core/document/ImageComparison.h"

#include <cstdio>
#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage = "Usage: program-cli write --port PORT FILE.dat [--verify] [--retries N]\n"
                               "Write a data file's image to the radio (offsets 0x000-0x32F).\n"
                               "\n"
#ifdef _WIN32
                               "  --port PORT      a COM port by its name or number: COM3 or 3 (also\n"
                               "                   \\\\.\\COM12), as 'program-cli ports' lists them\n"
#else
                               "  --port PORT      a device path (/dev/ttyUSB0, a pseudo-terminal, ...) or a\n"
                               "                   port number 1-16 as 'program-cli ports' lists them: USB\n"
                               "                   cables first (/dev/ttyUSB*, then /dev/ttyACM*), then the\n"
                               "                   built-in ports with a UART (/dev/ttyS*)\n"
#endif
                               "  --verify         after the write, read the radio back (a second session) and\n"
                               "                   compare 0x000-0x32F with what was sent; each differing\n"
                               "                   block (8 bytes) is named by its address and the exit status is 1\n"
                               "  --retries N      answer Retry to the first N communication errors (default 0)\n"
                               "\n"
                               "A write that ends after the radio took some blocks but not all (a refused\n"
                               "block, Cancel, the cable pulled) says so: the radio then holds part old,\n"
                               "part new data and must be written again before it is used.\n"
                               "Ctrl+C stops the write at the next frame (exit status 130).\n";

std::string Address(std::uint16_t address)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", address);
    return text;
}

int RunWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {"--port", "--retries"}, {"--verify"}, a, err))
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
        "write", *port, retries, [&](RadioTransfer& engine, const std::string& d) { return engine.Write(d, image); },
        device, err);
    if (result.outcome == TransferOutcome::Cancelled)
        return kExitInterrupted;
    if (result.outcome != TransferOutcome::Completed)
        return kExitFailed;
    out << "wrote " << a.positional[0] << " to " << device << "\n";
    if (!a.Flag("--verify"))
        return kExitOk;

    // A second session reads what the radio now holds; the bytes it does
    // not hold (0x330-0x3FF) are taken from the file so that they compare equal.
    RadioImage readBack = image;
    const TransferResult check = RunConsoleTransfer(
        "write", device, retries, [&](RadioTransfer& engine, const std::string& d) { return engine.Read(d, readBack); },
        device, err);
    if (check.outcome == TransferOutcome::Cancelled)
        return kExitInterrupted;
    if (check.outcome != TransferOutcome::Completed)
        return Failure("write", "the radio could not be read back to verify the write", err);
    const std::vector<std::uint16_t> differing = DifferingFrames(image, readBack);
    if (differing.empty()) {
        out << "verified: the radio holds what was written\n";
        return kExitOk;
    }
    for (std::uint16_t address : differing)
        err << "program-cli write: verify: the block at " << Address(address) << " differs from what was written\n";
    return kExitFailed;
}

} // namespace

const Verb kWriteVerb = {"write", "write a data file to a radio", kUsage, &RunWrite};

} // namespace cli
