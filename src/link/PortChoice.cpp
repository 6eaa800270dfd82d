#include "link/PortChoice.h"

#include "base/Globals.h"
#include "base/UserStore.h"
#include "core/link/PortNames.h"
#include "core/link/SystemSerialPort.h"

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

namespace {

CUserStore UserPorts()
{
    return CUserStore(CUserStore::ForApplication().KeyPath() + "\\Ports");
}

std::string PortKey(int number)
{
    return "COM" + std::to_string(number);
}

} // namespace

std::map<int, std::string> CurrentPortMappings()
{
    const CUserStore store = UserPorts();
    std::map<int, std::string> user;
    for (int number = 1; number <= kPortCount; ++number) {
        std::string path = store.QueryString(PortKey(number));
        if (!path.empty())
            user[number] = std::move(path);
    }
    return MergePortMappings(PortMappings(g_iniFile), user);
}

bool StoreUserPortDevice(int number, const std::string& path)
{
    return UserPorts().SetString(PortKey(number), path);
}

std::string PortDevice(int number, const std::vector<SerialPortInfo>& ports, const std::map<int, std::string>& mappings)
{
    std::vector<std::string> devices;
    for (const SerialPortInfo& port : ports)
        devices.push_back(port.device);
    return PortDevicePath(number, devices, mappings);
}

std::string PortDevice(int number)
{
    return PortDevice(number, ListSerialPorts(), CurrentPortMappings());
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
    SystemSerialPort port;
    const std::error_code error = port.Open(device);
    port.Close();
    return error;
}
