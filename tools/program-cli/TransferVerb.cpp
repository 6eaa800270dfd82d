#include "TransferVerb.h"

#include "core/link/ConsoleTransfer.h"
#include "core/link/PortNames.h"
#include "core/link/SystemSerialPort.h"
#include "core/link/Timing.h"
#include "core/link/TransferMessages.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <utility>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

cli::SerialPortMaker& PortMaker()
{
    static cli::SerialPortMaker maker;
    return maker;
}

} // namespace

namespace cli {

SerialPortMaker SetSerialPortMaker(SerialPortMaker maker)
{
    std::swap(maker, PortMaker());
    return maker;
}

bool ParseRetries(const Arguments& args, int& retries)
{
    const std::string text = args.Value("--retries").value_or("0");
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, retries);
    return error == std::errc() && last == end && retries >= 0 && retries <= 1000;
}

TransferResult RunConsoleTransfer(const char* verb, const std::string& portArgument, int retries,
                                  const std::function<TransferResult(RadioTransfer&, const std::string&)>& transfer,
                                  std::string& device, std::ostream& err)
{
    const std::string prefix = std::string("program-cli ") + verb + ": ";
    device = ResolvePortArgument(portArgument);
    if (device.empty()) {
        err << prefix << TransferMessageEnglishText(TransferMessage::CannotOpenPort)
            << " (no serial device has the port number " << portArgument << ")\n";
        TransferResult result;
        result.message = TransferMessage::CannotOpenPort;
        return result;
    }
    UsePreciseTimers();
    const std::unique_ptr<SerialPort> serial = PortMaker() ? PortMaker()() : std::make_unique<SystemSerialPort>();
    ConsolePump pump(err, &err == &std::cerr && StandardErrorIsTerminal());
    ConsolePrompter prompter(prefix, retries, err, &pump);
    RadioTransfer engine(*serial, prompter, pump);
    const TransferResult result = transfer(engine, device);
    pump.Finish();
    if (result.outcome != TransferOutcome::Completed)
        ReportTransferEnd(result, device, prefix, err);
    return result;
}

} // namespace cli
