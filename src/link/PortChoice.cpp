#include "link/PortChoice.h"

#include "base/Globals.h"
#include "base/UserStore.h"
#include "core/link/PortNames.h"
#include "core/link/PosixSerialPort.h"

void LoadPortName()
{
    const std::uint32_t number = CUserStore::ForApplication().QueryDword("COM", 1);
    g_strPortName = PortNameForNumber(static_cast<int>(number & 0xFF));
}

bool StorePortNumber(int number)
{
    g_strPortName = PortNameForNumber(number);
    return CUserStore::ForApplication().SetDword("com", static_cast<std::uint32_t>(number));
}

std::string PortDevice(int number)
{
    return PortDevicePath(number, ListSerialDevices(), PortMappings(g_iniFile));
}

std::string CurrentPortDevice()
{
    const std::optional<int> number = PortNumberFromName(g_strPortName);
    return number ? PortDevice(*number) : std::string();
}

std::error_code ProbePort(const std::string& device)
{
    if (device.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    PosixSerialPort port;
    const std::error_code error = port.Open(device);
    port.Close();
    return error;
}
