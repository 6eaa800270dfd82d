#pragma once
// Port numbers 1 to 16 and the device paths behind them.
//
// On Windows port number n is the system's port COMn (WindowsPorts.h lists
// them). On Linux, numbers follow the serial devices present, in this order: USB serial
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

// The mappings of a section (Ports of Program.ini, or the user's own in the
// per-user store): a key COMn (n from 1 to 16) with a non-empty value maps
// port n to that path.
std::map<int, std::string> PortMappings(const CIniFile& ini, const std::string& section = "Ports");
// The user's mappings over those of the configuration file: a number
// mapped in both goes where the user aimed it.
std::map<int, std::string> MergePortMappings(std::map<int, std::string> configured,
                                             const std::map<int, std::string>& user);

// A serial port as the system describes it.
struct SerialPortInfo
{
    std::string device;      // "/dev/ttyUSB0"
    std::string name;        // "ttyUSB0"
    std::string description; // "FTDI FT232R USB UART", "Prolific PL2303", "built-in serial port"
    std::string vendorId;    // USB vendor and product ID, four hex digits; empty for a built-in port
    std::string productId;
    std::string serial; // the USB serial number, when the chip has one
    std::string driver; // the kernel driver ("ftdi_sio", "ch341", "serial8250", ...)
};

// "ttyUSB0 · FTDI FT232R USB UART".
std::string PortLabel(const SerialPortInfo& port);

// The device of port number (1 to 16): its mapped path if it has one,
// otherwise the number-th device of devices (on Windows: COMn, as the
// system numbers its ports). Empty when there is none.
std::string PortDevicePath(int number, const std::vector<std::string>& devices,
                           const std::map<int, std::string>& mappings = {});

// The device a port argument names. On Linux: a number 1 to 16 through the
// list of this machine's devices, anything else taken as a path; empty for a
// number without a device. On Windows: a number n, "COMn" or "\\.\COMn" (any
// case) gives the port name of n; another number or COM name is empty;
// anything else is taken as a device name.
std::string ResolvePortArgument(const std::string& argument);

// For a device that exists but may not be opened for lack of permission,
// in plain text: names the device's group and how to join it when that
// group may read and write the device (never root); otherwise points to the
// udev rule for programming cables. Empty when the device cannot be
// examined, and always on Windows, where no such advice applies.
std::string PortPermissionHint(const std::string& device);

#ifdef _WIN32
// The COM ports present, for the port choice: device and name "COM3" (the
// device-namespace form from COM10 on), the device's friendly name as
// description.
std::vector<SerialPortInfo> ListSerialPorts();
#else
// Linux only: device files and sysfs.

// The serial devices found in directory, in port order (every device file
// of the families, whether a port is behind it or not).
std::vector<std::string> ListSerialDevices(const std::string& directory = "/dev");

// The serial ports of this machine in port order, described from sysfs
// (sysRoot/class/tty/NAME): a USB cable by the USB device's manufacturer
// and product strings, or by its chip family (from the vendor ID) when the
// product string says no more than "USB serial"; a built-in ttyS port only
// when a UART is behind it.
std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysRoot = "/sys", const std::string& devDir = "/dev");
// The chip family of a USB vendor ID ("0403" gives "FTDI"); empty when unknown.
std::string ChipFamily(const std::string& vendorId);

// What PortPermissionHint says, from the device's mode bits, group ID and
// group name.
std::string PermissionAdvice(const std::string& device, unsigned mode, unsigned groupId, const std::string& group);
#endif
