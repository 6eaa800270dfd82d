#pragma once
// The port the radio link uses: the port name (a global, "COM1" at start),
// the per-user port number behind it, and the device path a number stands
// for on this machine: the serial ports present, USB cables first, unless
// the number is mapped to a path, by this user (the per-user store, section
// "Software\" + AppName + "\Ports") or for everyone (section Ports of
// Program.ini); the user's own mapping wins.

#include "core/link/PortNames.h"

#include <map>
#include <string>
#include <system_error>
#include <vector>

// Sets the port name from the per-user value "com" (port 1 when missing).
void LoadPortName();
// Sets the port name for number and stores the number as the per-user
// value "com". False when the value could not be stored.
bool StorePortNumber(int number);

// Every mapped number, the user's mappings over Program.ini's.
std::map<int, std::string> CurrentPortMappings();
// Maps number to path for this user; an empty path removes the user's
// mapping. False when the store could not be written.
bool StoreUserPortDevice(int number, const std::string& path);

// The device path of port number 1 to 16; empty when there is none.
std::string PortDevice(int number);
// The same from a list of the ports present and the mappings.
std::string PortDevice(int number, const std::vector<SerialPortInfo>& ports,
                       const std::map<int, std::string>& mappings);
// The device path the current port name stands for; empty for none.
std::string CurrentPortDevice();

// Opens the device exclusively and closes it at once: empty when it could be
// opened, otherwise why not (no_such_file_or_directory for an empty path).
std::error_code ProbePort(const std::string& device);
