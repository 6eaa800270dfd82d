// Port numbers and device paths, and the hint for a device without access.

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

TEST(PortNames, PermissionHintNamesTheDevicesGroup)
{
    const group* dialout = getgrnam("dialout");
    if (!dialout)
        GTEST_SKIP() << "no dialout group here";
    const auto file = std::filesystem::temp_directory_path() / ("port-" + std::to_string(getpid()));
    std::ofstream(file).put('x');
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
