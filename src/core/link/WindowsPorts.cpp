#include "core/link/WindowsPorts.h"

#include "core/link/PortNames.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

// Registry strings may carry their terminating NULs and stray blanks.
std::string Trimmed(const std::string& text)
{
    const auto blank = [](char c) { return c == '\0' || std::isspace(static_cast<unsigned char>(c)); };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The digits after "COM" or "\\.\COM"; nullopt when the name has neither.
std::optional<std::string> ComDigits(const std::string& name)
{
    for (const char* prefix : {"COM", "\\\\.\\COM"})
        if (StartsWithNoCase(name, prefix) && AllDigits(name.substr(std::char_traits<char>::length(prefix))))
            return name.substr(std::char_traits<char>::length(prefix));
    return std::nullopt;
}

std::optional<int> Number(const std::string& digits)
{
    if (!AllDigits(digits) || digits.size() > 4 || digits[0] == '0')
        return std::nullopt;
    const int number = std::stoi(digits);
    if (number > kMaxComPortNumber)
        return std::nullopt;
    return number;
}

} // namespace

std::optional<int> ComPortNumber(const std::string& name)
{
    const auto digits = ComDigits(name);
    return digits ? Number(*digits) : std::nullopt;
}

std::string ResolveComPortArgument(const std::string& argument)
{
    if (AllDigits(argument)) {
        const auto number = Number(argument);
        return number ? PortNameForNumber(*number) : std::string();
    }
    if (const auto digits = ComDigits(argument)) {
        const auto number = Number(*digits);
        return number ? PortNameForNumber(*number) : std::string();
    }
    return argument;
}

std::vector<ComPort> ComPortsFromRegistry(const ComPortRegistry& registry)
{
    std::map<int, ComPort> ports;
    for (const auto& value : registry.serialComm) {
        const std::string name = Trimmed(value.second);
        if (const auto number = ComPortNumber(name))
            ports.try_emplace(*number, ComPort{*number, "COM" + std::to_string(*number), {}});
    }
    for (const auto& [portName, friendlyName] : registry.devices) {
        const auto number = ComPortNumber(Trimmed(portName));
        const auto port = number ? ports.find(*number) : ports.end();
        if (port != ports.end() && port->second.friendlyName.empty())
            port->second.friendlyName = Trimmed(friendlyName);
    }
    std::vector<ComPort> list;
    for (auto& entry : ports)
        list.push_back(std::move(entry.second));
    return list;
}

std::string ComPortLine(const ComPort& port)
{
    std::string line = std::to_string(port.number) + "  " + port.name;
    if (!port.friendlyName.empty())
        line += "  " + port.friendlyName;
    return line;
}
