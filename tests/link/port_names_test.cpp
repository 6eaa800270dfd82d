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
        {1, d + "/ttyUSB0"}, {2, "/dev/pts/7"}, {3, d + "/ttyACM0"}, {6, d + "/ttyS10"},
        {7, ""}, {16, "/dev/radio"}, {0, ""}, {17, ""},
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

}  // namespace
