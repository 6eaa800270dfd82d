#include "Verbs.h"

#include "core/link/PortNames.h"
#include "core/link/WindowsPorts.h"

#include <ostream>

namespace cli {
namespace {

#ifdef _WIN32
constexpr const char* kUsage = "Usage: program-cli ports\n"
                               "List the COM ports of this machine, one line each: the number --port takes,\n"
                               "the port's name and the device as the system names it, where it does\n"
                               "(\"3  COM3  USB-SERIAL CH340 (COM3)\"). --port takes the name as well.\n";
#else
constexpr const char* kUsage = "Usage: program-cli ports\n"
                               "List the serial ports of this machine with the numbers --port takes, one\n"
                               "line each: the number, the device and the cable as the system describes it\n"
                               "(\"1  /dev/ttyUSB0  ttyUSB0 · FTDI FT232R USB UART\"). USB cables come first;\n"
                               "built-in ports are listed only when a UART is behind them. Pseudo-terminals\n"
                               "are never listed: give their path to --port.\n";
#endif

int RunPorts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Arguments a;
    if (!ParseArguments(args, {}, {}, a, err))
        return UsageError("ports", "bad arguments", err);
    if (a.help) {
        out << kUsage;
        return kExitOk;
    }
    if (!a.positional.empty())
        return UsageError("ports", "takes no arguments", err);
#ifdef _WIN32
    const std::vector<ComPort> ports = ListComPorts();
    if (ports.empty())
        out << "no serial ports\n";
    for (const ComPort& port : ports)
        out << ComPortLine(port) << "\n";
#else
    const std::vector<SerialPortInfo> ports = ListSerialPorts();
    if (ports.empty())
        out << "no serial ports\n";
    for (std::size_t i = 0; i < ports.size() && i < static_cast<std::size_t>(kPortCount); ++i)
        out << i + 1 << "  " << ports[i].device << "  " << PortLabel(ports[i]) << "\n";
#endif
    return kExitOk;
}

} // namespace

const Verb kPortsVerb = {"ports", "list the serial ports and their numbers", kUsage, &RunPorts};

} // namespace cli
