// The COM ports of this machine as the registry and the device manager
// know them, and the Windows side of the port argument.

#include "core/link/PortNames.h"
#include "core/link/WindowsPorts.h"

#include "core/util/Utf8Path.h"

#include <windows.h>

// initguid.h first, so that devguid.h defines the ports class GUID here
// instead of only declaring it.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <vector>

namespace {

std::string Utf8(const wchar_t* text, std::size_t length)
{
    // Registry strings need not end with a NUL, and often carry one or more.
    while (length > 0 && text[length - 1] == L'\0')
        --length;
    return Utf8FromWide(std::wstring(text, length));
}

// A string value of an open key; empty when it is missing or no string.
std::string StringValue(HKEY key, const wchar_t* name)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return {};
    return Utf8(buffer.data(), bytes / sizeof(wchar_t));
}

std::vector<std::pair<std::string, std::string>> SerialCommValues()
{
    std::vector<std::pair<std::string, std::string>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &longestData,
                         nullptr, nullptr) == ERROR_SUCCESS) {
        std::vector<wchar_t> name(longestName + 1);
        std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 1);
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            DWORD type = 0;
            const LSTATUS status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                                 reinterpret_cast<BYTE*>(data.data()), &dataBytes);
            if (status == ERROR_NO_MORE_ITEMS)
                break;
            if (status != ERROR_SUCCESS || type != REG_SZ)
                continue;
            values.emplace_back(Utf8(name.data(), nameLength), Utf8(data.data(), dataBytes / sizeof(wchar_t)));
        }
    }
    RegCloseKey(key);
    return values;
}

std::vector<std::pair<std::string, std::string>> PortDevices()
{
    std::vector<std::pair<std::string, std::string>> devices;
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return devices;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        std::string portName;
        if (const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            key != INVALID_HANDLE_VALUE) {
            portName = StringValue(key, L"PortName");
            RegCloseKey(key);
        }
        std::string friendlyName;
        DWORD type = 0;
        DWORD bytes = 0;
        SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, &type, nullptr, 0, &bytes);
        if (bytes > 0) {
            std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
            if (SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, &type,
                                                  reinterpret_cast<BYTE*>(buffer.data()),
                                                  static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), &bytes) &&
                type == REG_SZ)
                friendlyName = Utf8(buffer.data(), bytes / sizeof(wchar_t));
        }
        devices.emplace_back(std::move(portName), std::move(friendlyName));
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

} // namespace

ComPortRegistry ReadComPortRegistry()
{
    return {SerialCommValues(), PortDevices()};
}

std::vector<ComPort> ListComPorts()
{
    return ComPortsFromRegistry(ReadComPortRegistry());
}

std::vector<SerialPortInfo> ListSerialPorts()
{
    std::vector<SerialPortInfo> ports;
    for (const ComPort& com : ListComPorts()) {
        SerialPortInfo port;
        port.device = PortNameForNumber(com.number);
        port.name = com.name;
        port.description = com.friendlyName;
        ports.push_back(port);
    }
    return ports;
}

std::string ResolvePortArgument(const std::string& argument)
{
    return ResolveComPortArgument(argument);
}

std::string PortPermissionHint(const std::string&)
{
    return {};
}
