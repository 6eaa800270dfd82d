#pragma once
// The COM ports of a Windows machine. The system names its serial ports
// COM1, COM2, ... and keeps the ones present in the registry; reading the
// registry is done in Win32PortList.cpp, while turning what it holds into
// the port list, and a port argument into a port name, is done here, where
// it builds and runs on any system.

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The highest COM number the system hands out.
inline constexpr int kMaxComPortNumber = 4096;

// What the registry says about the serial ports present.
struct ComPortRegistry
{
    // The values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: the device's path
    // ("\Device\Serial0", "\Device\VCP0") and its port name ("COM1").
    std::vector<std::pair<std::string, std::string>> serialComm;
    // Each present device of the ports class: the "PortName" value of its
    // registry key ("COM3") and its friendly name ("USB-SERIAL CH340
    // (COM3)"); either may be empty.
    std::vector<std::pair<std::string, std::string>> devices;
};

struct ComPort
{
    int number = 0;           // 3
    std::string name;         // "COM3"
    std::string friendlyName; // "USB-SERIAL CH340 (COM3)"; empty when the system gives none
};

// The number of a COM port name: "COMn" or "\\.\COMn", letters in any case,
// n from 1 to kMaxComPortNumber without leading zeros. Nothing otherwise.
std::optional<int> ComPortNumber(const std::string& name);

// The port a --port argument names on Windows: a number n, "COMn" or
// "\\.\COMn" gives the port name of n ("COM7", "\\.\COM12"); a number or
// COM name out of range is empty; anything else is a device name of its
// own and is kept as given.
std::string ResolveComPortArgument(const std::string& argument);

// The COM ports of the registry's SERIALCOMM values in number order, once
// each, with the friendly name of the device that has the same port name.
// Values that name no COM port are left out.
std::vector<ComPort> ComPortsFromRegistry(const ComPortRegistry& registry);

// The line of program-cli ports: "3  COM3  USB-SERIAL CH340 (COM3)", or
// "1  COM1" without a friendly name.
std::string ComPortLine(const ComPort& port);

#ifdef _WIN32
// What the registry and the device set of the ports class say now.
ComPortRegistry ReadComPortRegistry();
// The COM ports of this machine.
std::vector<ComPort> ListComPorts();
#endif
