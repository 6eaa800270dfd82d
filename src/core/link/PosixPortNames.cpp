// The serial ports of a Linux machine: device files under /dev, their
// description from sysfs, and advice for a device the user may not open.

#include "core/link/PortNames.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <filesystem>
#include <fstream>
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
        if (digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            return false;
        family = f;
        number = std::stol(digits);
        return true;
    }
    return false;
}

namespace fs = std::filesystem;

// The first line of a sysfs attribute, without surrounding blanks; empty
// when it cannot be read.
std::string Attribute(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A product string that says no more than "a USB serial thing" ("USB-Serial
// Controller", "USB2.0-Serial", "USB Serial"): only such words, no model.
bool IsGenericProduct(const std::string& product)
{
    static const char* const kWords[] = {"usb",     "usb2",       "0",         "2",    "serial",
                                         "uart",    "controller", "converter", "port", "device",
                                         "adapter", "cable",      "bridge",    "to",   "d"};
    std::string word;
    const std::string text = Lower(product) + " ";
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
            continue;
        }
        if (!word.empty() && std::find(std::begin(kWords), std::end(kWords), word) == std::end(kWords))
            return false;
        word.clear();
    }
    return true;
}

std::string LinkName(const fs::path& link)
{
    std::error_code error;
    const fs::path target = fs::canonical(link, error);
    return error ? std::string() : target.filename().string();
}

// Fills what sysfs says about the tty NAME. False for a built-in port
// without a UART behind it (type 0, "unknown").
bool Describe(const fs::path& tty, SerialPortInfo& port)
{
    std::error_code error;
    if (!fs::exists(tty, error))
        return true; // nothing known: offered under its name alone
    const fs::path device = fs::canonical(tty / "device", error);
    if (!error)
        port.driver = LinkName(device / "driver");
    if (port.name.rfind("ttyS", 0) == 0) {
        if (Attribute(tty / "type") == "0")
            return false;
        port.description = "built-in serial port";
        return true;
    }
    if (error)
        return true;
    // The USB device is the nearest ancestor with a vendor ID: the
    // interface's parent for ACM, one more up for a usb-serial port.
    fs::path usb = device;
    for (int up = 0; up < 4 && !usb.empty() && !fs::exists(usb / "idVendor", error); ++up)
        usb = usb.parent_path();
    if (usb.empty() || !fs::exists(usb / "idVendor", error))
        return true;
    port.vendorId = Lower(Attribute(usb / "idVendor"));
    port.productId = Lower(Attribute(usb / "idProduct"));
    port.serial = Attribute(usb / "serial");
    const std::string manufacturer = Attribute(usb / "manufacturer");
    const std::string product = Attribute(usb / "product");
    const std::string family = ChipFamily(port.vendorId);
    if (!product.empty() && !IsGenericProduct(product)) {
        const std::string maker = manufacturer.empty() ? family : manufacturer;
        port.description =
            maker.empty() || Lower(product).rfind(Lower(maker), 0) == 0 ? product : maker + " " + product;
    } else if (!family.empty()) {
        port.description = family;
    } else {
        port.description =
            (product.empty() ? std::string("USB serial") : product) + " (" + port.vendorId + ":" + port.productId + ")";
    }
    return true;
}

} // namespace

std::string ChipFamily(const std::string& vendorId)
{
    static const std::pair<const char*, const char*> kFamilies[] = {
        {"0403", "FTDI"},
        {"067b", "Prolific PL2303"},
        {"1a86", "WCH CH340"},
        {"10c4", "Silicon Labs CP210x"},
    };
    for (const auto& [id, family] : kFamilies)
        if (Lower(vendorId) == id)
            return family;
    return {};
}

std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysRoot, const std::string& devDir)
{
    std::vector<SerialPortInfo> ports;
    for (const std::string& device : ListSerialDevices(devDir)) {
        SerialPortInfo port;
        port.device = device;
        port.name = fs::path(device).filename().string();
        if (Describe(fs::path(sysRoot) / "class" / "tty" / port.name, port))
            ports.push_back(std::move(port));
    }
    return ports;
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

std::string ResolvePortArgument(const std::string& argument)
{
    const bool number = !argument.empty() && argument.size() <= 2 &&
                        std::all_of(argument.begin(), argument.end(), [](unsigned char c) { return std::isdigit(c); });
    if (!number)
        return argument;
    std::vector<std::string> devices;
    for (const SerialPortInfo& port : ListSerialPorts())
        devices.push_back(port.device);
    return PortDevicePath(std::stoi(argument), devices);
}

std::string PortPermissionHint(const std::string& device)
{
    struct stat st
    {};
    if (stat(device.c_str(), &st) != 0)
        return {};
    std::string group;
    std::vector<char> buffer(16384);
    struct group entry
    {};
    struct group* result = nullptr;
    if (getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->gr_name)
        group = result->gr_name;
    return PermissionAdvice(device, st.st_mode, st.st_gid, group);
}

std::string PermissionAdvice(const std::string& device, unsigned mode, unsigned groupId, const std::string& group)
{
    constexpr unsigned kGroupReadWrite = S_IRGRP | S_IWGRP;
    const std::string refused = "Access to " + device + " was refused.";
    // Joining a group helps only when that group may read and write the
    // device, and root is no group to join.
    if ((mode & kGroupReadWrite) == kGroupReadWrite && groupId != 0 && !group.empty()) {
        return refused + " The device belongs to group " + group +
               ", whose members may read and write it.\nTo join it: sudo usermod -aG " + group +
               " $USER, then log out and in again.";
    }
    return refused + " Install the udev rule for programming cables (60-radio-programmer-cables.rules, "
                     "part of the package), which gives the device to the logged-in user, then plug the cable "
                     "in again.";
}
