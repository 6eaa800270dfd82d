#pragma once
// What the read and write verbs share: the --retries option and running one
// transfer on the console (port resolution, progress, prompts, reporting).

#include "Cli.h"

#include "core/link/RadioTransfer.h"

#include <functional>
#include <memory>

namespace cli {

// Reads --retries: a whole number from 0 to 1000, 0 when absent.
bool ParseRetries(const Arguments& args, int& retries);

// Makes the serial port of each transfer: the system's, unless a test has
// put a simulated line in its place. Returns the maker it replaces; an
// empty maker brings the system's port back.
using SerialPortMaker = std::function<std::unique_ptr<SerialPort>()>;
SerialPortMaker SetSerialPortMaker(SerialPortMaker maker);

// Resolves portArgument (a device path or a port number), runs transfer on
// it with a console prompter and pump, and reports a failure on err.
// Returns the result and stores the device used in device.
TransferResult RunConsoleTransfer(const char* verb, const std::string& portArgument, int retries,
                                  const std::function<TransferResult(RadioTransfer&, const std::string&)>& transfer,
                                  std::string& device, std::ostream& err);

} // namespace cli
