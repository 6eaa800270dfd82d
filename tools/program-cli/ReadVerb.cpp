#include "TransferVerb.h"
#include "Verbs.h"

#include "core/link/ReadCopies.h"

#include <ctime>
#include <ostream>

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: program-cli read --port PORT -o OUT.dat [--base BASE.dat] [--retries N]\n"
    "Read the radio's memory into a data file.\n"
    "\n"
#ifdef _WIN32
    "  --port PORT      a COM port by its name or number: COM3 or 3 (also\n"
    "                   \\\\.\\COM12), as 'program-cli ports' lists them\n"
#else
    "  --port PORT      a device path (/dev/ttyUSB0, a pseudo-terminal, ...) or a\n"
    "                   port number 1-16: the serial devices present, USB cables\n"
    "                   first (/dev/ttyUSB*, then /dev/ttyACM*), then /dev/ttyS*\n"
#endif
    "  -o OUT.dat       the data file to write; written only after a complete read\n"
    "  --base BASE.dat  the image the radio's bytes go into (default: a new image);\n"
    "                   offsets 0x330-0x3FF, which the radio does not hold, come from it\n"
    "  --retries N      answer Retry to the first N communication errors (default 0)\n"
    "\n"
    "Every complete read also leaves a copy of the radio's memory in\n"
    "$XDG_DATA_HOME/radio-programmer/radio-reads/ (default ~/.local/share/...,\n"
    "also when XDG_DATA_HOME is a relative path), named from the local time;\n"
    "the newest 100 copies by the time they were written are kept.\n"
    "\n"
    "The last line of the output is \"device mode: N\" (0, 1 or 2, from the radio's model).\n"
    "Ctrl+C stops the read at the next frame; the output file is not touched\n"
    "and the exit status is 130.\n";

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

    std::string device;
    const TransferResult result = RunConsoleTransfer(
        "read", *port, retries, [&](RadioTransfer& engine, const std::string& d) { return engine.Read(d, image); },
        device, err);
    if (result.outcome == TransferOutcome::Cancelled)
        return kExitInterrupted;
    if (result.outcome != TransferOutcome::Completed)
        return kExitFailed;
    // The copy comes first: it keeps what the radio held even when the
    // output file cannot be written.
    std::string note;
    const std::string copies = ReadCopiesDirectory(&note);
    if (!note.empty())
        err << "program-cli read: " << note << "\n";
    const ReadCopyResult copy = StoreReadCopy(image, copies, std::time(nullptr));
    if (!copy.Stored())
        err << "program-cli read: the copy of this read could not be kept: " << copy.error << "\n";
    if (!SaveImage("read", *output, image, err))
        return kExitFailed;
    out << "read " << device << " into " << *output << "\n";
    if (copy.Stored())
        out << "copy kept in " << copy.path << "\n";
    out << "device mode: " << result.deviceMode << "\n";
    return kExitOk;
}

} // namespace

const Verb kReadVerb = {"read", "read a radio's memory into a data file", kUsage, &RunRead};

} // namespace cli
