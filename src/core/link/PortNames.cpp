#include "core/link/PortNames.h"

#include "core/app/IniFile.h"

#include <cctype>

std::string PortLabel(const SerialPortInfo& port)
{
    return port.description.empty() ? port.name : port.name + " · " + port.description;
}

std::string PortNameForNumber(int number)
{
    return (number >= 10 ? "\\\\.\\COM" : "COM") + std::to_string(number);
}

std::optional<int> PortNumberFromName(const std::string& name)
{
    // The scan "%*[^M]M%d": skip to the first M (at least one character
    // before it), then an optionally signed decimal number.
    const std::size_t m = name.find('M');
    if (m == std::string::npos || m == 0)
        return std::nullopt;
    std::size_t at = m + 1;
    while (at < name.size() && std::isspace(static_cast<unsigned char>(name[at])))
        ++at;
    const std::size_t start = at;
    if (at < name.size() && (name[at] == '-' || name[at] == '+'))
        ++at;
    const std::size_t digits = at;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])) && at - digits < 9)
        ++at;
    if (at == digits)
        return std::nullopt;
    return std::stoi(name.substr(start, at - start));
}

std::map<int, std::string> PortMappings(const CIniFile& ini, const std::string& section)
{
    std::map<int, std::string> mappings;
    for (int number = 1; number <= kPortCount; ++number) {
        std::string path = ini.GetValue(section, "COM" + std::to_string(number), "");
        if (!path.empty())
            mappings[number] = std::move(path);
    }
    return mappings;
}

std::map<int, std::string> MergePortMappings(std::map<int, std::string> configured,
                                             const std::map<int, std::string>& user)
{
    for (const auto& [number, path] : user)
        configured[number] = path;
    return configured;
}

std::string PortDevicePath(int number, const std::vector<std::string>& devices,
                           const std::map<int, std::string>& mappings)
{
    if (number < 1 || number > kPortCount)
        return {};
    if (auto it = mappings.find(number); it != mappings.end() && !it->second.empty())
        return it->second;
#ifdef _WIN32
    // Windows numbers its ports itself: port n is COMn, present or not.
    (void)devices;
    return PortNameForNumber(number);
#endif
    if (static_cast<std::size_t>(number) <= devices.size())
        return devices[static_cast<std::size_t>(number) - 1];
    return {};
}
