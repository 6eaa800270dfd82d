#include "core/link/PortNames.h"

#include "core/app/IniFile.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <grp.h>
#include <iterator>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// Device families in port order.
constexpr const char* kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};

// Family rank and number of a device name like "ttyUSB3"; false when the
// name is not one of the families followed by digits only.
bool ParseDeviceName(const std::string& name, int& family, long& number)
{
    for (int f = 0; f < static_cast<int>(std::size(kFamilies)); ++f) {
        const std::string prefix = kFamilies[f];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        family = f;
        number = std::stol(digits);
        return true;
    }
    return false;
}

}  // namespace

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

std::map<int, std::string> PortMappings(const CIniFile& ini)
{
    std::map<int, std::string> mappings;
    for (int number = 1; number <= kPortCount; ++number) {
        std::string path = ini.GetValue("Ports", "COM" + std::to_string(number), "");
        if (!path.empty())
            mappings[number] = std::move(path);
    }
    return mappings;
}

std::vector<std::string> ListSerialDevices(const std::string& directory)
{
    std::vector<std::tuple<int, long, std::string>> found;
    if (DIR* dir = opendir(directory.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            int family = 0;
            long number = 0;
            if (ParseDeviceName(entry->d_name, family, number))
                found.emplace_back(family, number, directory + "/" + entry->d_name);
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> devices;
    for (const auto& entry : found)
        devices.push_back(std::get<2>(entry));
    return devices;
}

std::string PortDevicePath(int number, const std::vector<std::string>& devices,
                           const std::map<int, std::string>& mappings)
{
    if (number < 1 || number > kPortCount)
        return {};
    if (auto it = mappings.find(number); it != mappings.end() && !it->second.empty())
        return it->second;
    if (static_cast<std::size_t>(number) <= devices.size())
        return devices[static_cast<std::size_t>(number) - 1];
    return {};
}

std::string ResolvePortArgument(const std::string& argument)
{
    const bool number = !argument.empty() && argument.size() <= 2 &&
                        std::all_of(argument.begin(), argument.end(), [](unsigned char c) { return std::isdigit(c); });
    if (!number)
        return argument;
    return PortDevicePath(std::stoi(argument), ListSerialDevices());
}

std::string PortPermissionHint(const std::string& device)
{
    struct stat st {};
    if (stat(device.c_str(), &st) != 0)
        return {};
    std::string group = std::to_string(st.st_gid);
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* result = nullptr;
    if (getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->gr_name)
        group = result->gr_name;
    return "Access to " + device + " was refused: the device belongs to group " + group +
           ", and membership in that group (usually `dialout`) would grant access.\n"
           "To join it: sudo usermod -aG " + group + " $USER, then log out and in again.";
}
