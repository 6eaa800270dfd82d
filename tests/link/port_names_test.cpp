// Port numbers and device paths, and the hint for a device without access.

#include "core/app/IniFile.h"
#include "core/link/PortNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <unistd.h>

namespace {

TEST(PortNames, NumbersFollowUsbCablesFirstThenBuiltInPorts)
{
    const auto dir = std::filesystem::temp_directory_path() / ("ports-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    for (const char* name : {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyS0", "ttyUSB0", "tty1", "ttyUSBx", "console"})
        std::ofstream(dir / name).put('x');
    const std::string d = dir.string();
    const std::vector<std::string> devices = ListSerialDevices(d);
    EXPECT_EQ(devices, (std::vector<std::string>{d + "/ttyUSB0", d + "/ttyUSB1", d + "/ttyACM0", d + "/ttyS0",
                                                 d + "/ttyS2", d + "/ttyS10"}));
    std::filesystem::remove_all(dir);

    const std::map<int, std::string> mappings = {{2, "/dev/pts/7"}, {16, "/dev/radio"}};
    struct Case
    {
        int number;
        std::string path;
    };
    const Case cases[] = {
        {1, d + "/ttyUSB0"},
        {2, "/dev/pts/7"},
        {3, d + "/ttyACM0"},
        {6, d + "/ttyS10"},
        {7, ""},
        {16, "/dev/radio"},
        {0, ""},
        {17, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortDevicePath(c.number, devices, mappings), c.path) << c.number;
}

TEST(PortNames, NamesAndNumbersGoBothWays)
{
    struct Case
    {
        int number;
        std::string name;
    };
    const Case cases[] = {{1, "COM1"}, {9, "COM9"}, {10, "\\\\.\\COM10"}, {12, "\\\\.\\COM12"}, {16, "\\\\.\\COM16"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PortNameForNumber(c.number), c.name);
        EXPECT_EQ(PortNumberFromName(c.name), c.number) << c.name;
    }
    // The number follows the first M; a name without one, or with M first, has none.
    EXPECT_EQ(PortNumberFromName("COM0"), 0);
    EXPECT_EQ(PortNumberFromName("xM 7"), 7);
    EXPECT_EQ(PortNumberFromName("COMx"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("M3"), std::nullopt);
    EXPECT_EQ(PortNumberFromName("/dev/ttyUSB0"), std::nullopt);
}

TEST(PortNames, MappingsComeFromSectionPorts)
{
    const auto path = std::filesystem::temp_directory_path() / ("ports-" + std::to_string(getpid()) + ".ini");
    std::ofstream(path) << "[Setup]\r\nCOM3=/dev/wrong\r\n[ports]\r\ncom2=/dev/pts/4\r\nCOM12=/dev/radio\r\n"
                           "COM5=\r\nCOM17=/dev/too-far\r\nCOM0=/dev/zero-port\r\n";
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path.string(), false, true));
    std::filesystem::remove(path);
    EXPECT_EQ(PortMappings(ini), (std::map<int, std::string>{{2, "/dev/pts/4"}, {12, "/dev/radio"}}));
}

TEST(PortNames, PermissionHintNamesTheDevicesGroup)
{
    const group* dialout = getgrnam("dialout");
    if (!dialout)
        GTEST_SKIP() << "no dialout group here";
    const auto file = std::filesystem::temp_directory_path() / ("port-" + std::to_string(getpid()));
    std::ofstream(file).put('x');
    std::filesystem::permissions(file, std::filesystem::perms(0660));
    if (chown(file.c_str(), static_cast<uid_t>(-1), dialout->gr_gid) != 0)
        GTEST_SKIP() << "cannot change the group of a file here";
    const std::string hint = PortPermissionHint(file.string());
    std::filesystem::remove(file);
    EXPECT_NE(hint.find("group dialout"), std::string::npos) << hint;
    EXPECT_NE(hint.find("sudo usermod -aG dialout $USER"), std::string::npos) << hint;
    EXPECT_NE(hint.find("log out and in"), std::string::npos) << hint;
    EXPECT_EQ(PortPermissionHint("/dev/no-such-serial-port"), "");
}

namespace fs = std::filesystem;

// A sysfs tree and a /dev folder for a few ports, laid out as Linux lays
// them out: class/tty/NAME links to the tty's folder, whose "device" links
// to the port (a usb-serial port, or the USB interface for ACM) below the
// USB device that holds the vendor and product strings.
class SysfsFixture
{
public:
    SysfsFixture()
        : root_(fs::temp_directory_path() / ("sysfs-" + std::to_string(getpid())))
    {
        fs::create_directories(root_ / "dev");
        fs::create_directories(root_ / "sys/class/tty");
    }
    ~SysfsFixture() { fs::remove_all(root_); }
    std::string Sys() const { return (root_ / "sys").string(); }
    std::string Dev() const { return (root_ / "dev").string(); }

    struct Usb
    {
        std::string vendor, product, manufacturer, productString, serial, driver;
    };
    void AddUsb(const std::string& name, const Usb& usb, bool acm)
    {
        const fs::path device = root_ / "sys/devices/usb1" / ("1-" + name);
        Write(device / "idVendor", usb.vendor);
        Write(device / "idProduct", usb.product);
        if (!usb.manufacturer.empty())
            Write(device / "manufacturer", usb.manufacturer);
        Write(device / "product", usb.productString);
        if (!usb.serial.empty())
            Write(device / "serial", usb.serial);
        const fs::path interface = device / "1-1:1.0";
        const fs::path port = acm ? interface : interface / name;
        AddTty(name, port, usb.driver);
    }
    void AddBuiltIn(const std::string& name, const std::string& type)
    {
        const fs::path port = root_ / "sys/devices/platform/serial8250";
        AddTty(name, port, "serial8250");
        Write(root_ / "sys/devices/virtual" / name / "type", type + "\n");
    }

private:
    void AddTty(const std::string& name, const fs::path& port, const std::string& driver)
    {
        const fs::path drivers = root_ / "sys/bus/drivers" / driver;
        fs::create_directories(drivers);
        fs::create_directories(port);
        if (!fs::exists(port / "driver"))
            fs::create_directory_symlink(drivers, port / "driver");
        const fs::path tty = root_ / "sys/devices/virtual" / name;
        fs::create_directories(tty);
        fs::create_directory_symlink(port, tty / "device");
        fs::create_directory_symlink(tty, root_ / "sys/class/tty" / name);
        std::ofstream(root_ / "dev" / name).put('x');
    }
    static void Write(const fs::path& file, const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    fs::path root_;
};

TEST(PortNames, PortsAreNamedAsTheSystemDescribesThem)
{
    SysfsFixture fixture;
    fixture.AddUsb("ttyUSB0", {"0403", "6001", "FTDI", "FT232R USB UART", "A1B2C3", "ftdi_sio"}, false);
    fixture.AddUsb("ttyUSB1", {"067b", "2303", "Prolific Technology Inc.", "USB-Serial Controller", "", "pl2303"},
                   false);
    fixture.AddUsb("ttyUSB2", {"1a86", "7523", "", "USB2.0-Serial", "", "ch341"}, false);
    fixture.AddUsb("ttyACM0", {"1234", "5678", "Acme", "Radio Cable X", "77", "cdc_acm"}, true);
    fixture.AddUsb("ttyUSB3", {"abcd", "0001", "", "USB Serial", "", "usbserial_generic"}, false);
    fixture.AddBuiltIn("ttyS0", "4");
    fixture.AddBuiltIn("ttyS1", "0"); // no UART behind it

    struct Expected
    {
        std::string name, label, vendor, serial, driver;
    };
    const Expected expected[] = {
        {"ttyUSB0", "ttyUSB0 · FTDI FT232R USB UART", "0403", "A1B2C3", "ftdi_sio"},
        {"ttyUSB1", "ttyUSB1 · Prolific PL2303", "067b", "", "pl2303"},
        {"ttyUSB2", "ttyUSB2 · WCH CH340", "1a86", "", "ch341"},
        {"ttyUSB3", "ttyUSB3 · USB Serial (abcd:0001)", "abcd", "", "usbserial_generic"},
        {"ttyACM0", "ttyACM0 · Acme Radio Cable X", "1234", "77", "cdc_acm"},
        {"ttyS0", "ttyS0 · built-in serial port", "", "", "serial8250"},
    };
    const std::vector<SerialPortInfo> ports = ListSerialPorts(fixture.Sys(), fixture.Dev());
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(ports[i].device, fixture.Dev() + "/" + expected[i].name);
        EXPECT_EQ(PortLabel(ports[i]), expected[i].label);
        EXPECT_EQ(ports[i].vendorId, expected[i].vendor);
        EXPECT_EQ(ports[i].serial, expected[i].serial);
        EXPECT_EQ(ports[i].driver, expected[i].driver);
    }
    // A device without anything in sysfs is still offered, under its name.
    std::ofstream(fixture.Dev() + "/ttyUSB9").put('x');
    const auto withUnknown = ListSerialPorts(fixture.Sys(), fixture.Dev());
    ASSERT_EQ(withUnknown.size(), std::size(expected) + 1);
    EXPECT_EQ(PortLabel(withUnknown[4]), "ttyUSB9");
}

TEST(PortNames, PermissionAdviceNamesOnlyAGroupThatGrantsAccess)
{
    struct Case
    {
        const char* name;
        unsigned mode;
        unsigned gid;
        std::string group;
        bool namesGroup;
    };
    const Case cases[] = {
        {"0660 root:dialout", 0020660, 20, "dialout", true},
        {"0600 root:root", 0020600, 0, "root", false},
        {"0666 root:root", 0020666, 0, "root", false},
        {"0640 root:dialout (the group may only read)", 0020640, 20, "dialout", false},
        {"0660 root:root", 0020660, 0, "root", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string advice = PermissionAdvice("/dev/ttyUSB0", c.mode, c.gid, c.group);
        EXPECT_EQ(advice.rfind("Access to /dev/ttyUSB0 was refused.", 0), 0u) << advice;
        EXPECT_EQ(advice.find('`'), std::string::npos) << advice; // plain text
        EXPECT_EQ(advice.find("usermod -aG root"), std::string::npos) << advice;
        if (c.namesGroup) {
            EXPECT_NE(advice.find("sudo usermod -aG " + c.group + " $USER"), std::string::npos) << advice;
        } else {
            EXPECT_EQ(advice.find("usermod"), std::string::npos) << advice;
            EXPECT_NE(advice.find("udev rule"), std::string::npos) << advice;
        }
    }
}

TEST(PortNames, TheUsersMappingsWinOverTheConfiguredOnes)
{
    const std::map<int, std::string> configured = {{1, "/dev/pts/1"}, {2, "/dev/pts/2"}};
    const std::map<int, std::string> user = {{2, "/dev/serial/by-id/usb-FTDI"}, {5, "/dev/pts/5"}};
    EXPECT_EQ(MergePortMappings(configured, user),
              (std::map<int, std::string>{{1, "/dev/pts/1"}, {2, "/dev/serial/by-id/usb-FTDI"}, {5, "/dev/pts/5"}}));
}

} // namespace
