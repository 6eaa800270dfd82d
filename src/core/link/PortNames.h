#pragma once
// Port numbers 1 to 16 and the device paths behind them.
//
// Numbers follow the serial devices present, in this order: USB serial
// cables first (/dev/ttyUSB0, /dev/ttyUSB1, ..., then /dev/ttyACM0, ...),
// then built-in ports (/dev/ttyS0, ...), each family by number. With one
// USB cable plugged in, port 1 is that cable. Any number can be mapped to
// any path instead (a pseudo-terminal, a /dev/serial/by-id link), which
// wins over the list.

#include <map>
#include <optional>
#include <string>
#include <vector>

class CIniFile;

inline constexpr int kPortCount = 16;

// The port name of a number, as the port choice is shown and kept:
// "COM%d" for 1 to 9, the device-namespace form "\\.\COM%d" from 10 on.
std::string PortNameForNumber(int number);
// The number after the first letter M of a port name ("COM3" gives 3, the
// device-namespace name of port 12 gives 12); nothing when none follows.
std::optional<int> PortNumberFromName(const std::string& name);

// The mappings of section Ports of a configuration file: a key COMn (n from
// 1 to 16) with a non-empty value maps port n to that path.
std::map<int, std::string> PortMappings(const CIniFile& ini);

// The serial devices found in directory, in port order.
std::vector<std::string> ListSerialDevices(const std::string& directory = "/dev");

// The device of port number (1 to 16): its mapped path if it has one,
// otherwise the number-th device of devices. Empty when there is none.
std::string PortDevicePath(int number, const std::vector<std::string>& devices,
                           const std::map<int, std::string>& mappings = {});

// The device a port argument names: a number 1 to 16 through the list of
// this machine's devices, anything else taken as a path. Empty for a number
// without a device.
std::string ResolvePortArgument(const std::string& argument);

// For a device that exists but may not be opened for lack of permission:
// names the device's group and how to join it. Empty when the device cannot
// be examined.
std::string PortPermissionHint(const std::string& device);
