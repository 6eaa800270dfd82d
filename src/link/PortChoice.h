#pragma once
// The port the radio link uses: the port name (a global, "COM1" at start),
// the per-user port number behind it, and the device path a number stands
// for on this machine (the serial devices present, USB cables first, unless
// section Ports of Program.ini maps the number to a path).

#include <string>
#include <system_error>

// Sets the port name from the per-user value "com" (port 1 when missing).
void LoadPortName();
// Sets the port name for number and stores the number as the per-user
// value "com". False when the value could not be stored.
bool StorePortNumber(int number);

// The device path of port number 1 to 16; empty when there is none.
std::string PortDevice(int number);
// The device path the current port name stands for; empty for none.
std::string CurrentPortDevice();

// Opens the device exclusively and closes it at once: empty when it could be
// opened, otherwise why not (no_such_file_or_directory for an empty path).
std::error_code ProbePort(const std::string& device);
