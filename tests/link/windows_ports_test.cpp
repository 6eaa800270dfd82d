// The COM ports of a Windows machine from the values its registry holds,
// and the port arguments that name them. Pure code: runs on every system.

#include "core/link/PortNames.h"
#include "core/link/WindowsPorts.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const std::vector<ComPort>& ports)
{
    std::vector<std::string> lines;
    for (const ComPort& port : ports)
        lines.push_back(ComPortLine(port));
    return lines;
}

TEST(WindowsPorts, ListFollowsTheRegistryInNumberOrder)
{
    struct Case
    {
        const char* what;
        ComPortRegistry registry;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"nothing present", {}, {}},
        {"numbers, not text, decide the order",
         {{{"\\Device\\VCP0", "COM10"}, {"\\Device\\Serial1", "COM2"}, {"\\Device\\Serial0", "COM1"}}, {}},
         {"1  COM1", "2  COM2", "10  COM10"}},
        {"friendly names where the device manager has them, matched by port name in any case",
         {{{"\\Device\\Serial0", "COM1"}, {"\\Device\\USBSER000", "COM3"}, {"\\Device\\VCP0", "COM12"}},
          {{"com3", "USB-SERIAL CH340 (COM3)"},
           {"COM12", ""},
           {"LPT1", "Printer Port (LPT1)"},
           {"", "Unnamed device"},
           {"COM7", "Absent from the port map (COM7)"}}},
         {"1  COM1", "3  COM3  USB-SERIAL CH340 (COM3)", "12  COM12"}},
        {"a port named twice is listed once; the first friendly name wins",
         {{{"\\Device\\Serial1", "COM2"}, {"\\Device\\Stale", "com2"}},
          {{"COM2", ""}, {"COM2", "Communications Port (COM2)"}, {"COM2", "Other Port (COM2)"}}},
         {"2  COM2  Communications Port (COM2)"}},
        {"values that name no COM port are left out",
         {{{"\\Device\\CNCA0", "CNCA0"},
           {"\\Device\\Zero", "COM0"},
           {"\\Device\\Lead", "COM05"},
           {"\\Device\\Empty", ""},
           {"\\Device\\Modem", "COM4x"},
           {"\\Device\\Serial3", "COM4"}},
          {}},
         {"4  COM4"}},
        {"terminating NULs and blanks around registry strings",
         {{{"\\Device\\VCP1", std::string("COM11\0\0", 7)}}, {{std::string("COM11\0", 6), " FT232R USB UART \r\n"}}},
         {"11  COM11  FT232R USB UART"}},
        {"device-namespace port names and UTF-8 friendly names",
         {{{"\\Device\\VCP2", "\\\\.\\COM21"}}, {{"COM21", "USB 串行设备 (COM21)"}}},
         {"21  COM21  USB 串行设备 (COM21)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lines(ComPortsFromRegistry(c.registry)), c.lines) << c.what;
}

TEST(WindowsPorts, PortArgumentsNameCOMPorts)
{
    struct Case
    {
        std::string argument;
        std::string port; // empty: names no port
    };
    const Case cases[] = {
        {"7", "COM7"},
        {"COM7", "COM7"},
        {"com7", "COM7"},
        {"\\\\.\\COM7", "COM7"},
        {"12", "\\\\.\\COM12"},
        {"Com12", "\\\\.\\COM12"},
        {"\\\\.\\com12", "\\\\.\\COM12"},
        {"4096", "\\\\.\\COM4096"},
        {"0", ""},
        {"COM0", ""},
        {"07", ""},
        {"COM007", ""},
        {"4097", ""},
        {"COM99999", ""},
        {"\\\\.\\CNCA0", "\\\\.\\CNCA0"},
        {"COMx", "COMx"},
        {"COM", "COM"},
        {"COM7:", "COM7:"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveComPortArgument(c.argument), c.port) << c.argument;
#ifdef _WIN32
        EXPECT_EQ(ResolvePortArgument(c.argument), c.port) << c.argument;
#endif
        // A COM port's name gives back its number, as the port choice keeps it.
        if (const auto number = ComPortNumber(c.port)) {
            EXPECT_EQ(PortNameForNumber(*number), c.port);
        }
    }
}

// The port choice's number n is COMn on Windows whatever is present; a
// mapping still wins. On Linux it is the n-th device present.
TEST(WindowsPorts, PortNumberNamesItsDevice)
{
    const std::vector<std::string> present = {"/dev/ttyUSB0", "/dev/ttyS0"};
    const std::map<int, std::string> mapped = {{2, "/dev/pts/7"}};
#ifdef _WIN32
    EXPECT_EQ(PortDevicePath(3, present), "COM3");
    EXPECT_EQ(PortDevicePath(12, {}), "\\\\.\\COM12");
#else
    EXPECT_EQ(PortDevicePath(1, present), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath(3, present), "");
#endif
    EXPECT_EQ(PortDevicePath(2, present, mapped), "/dev/pts/7");
    EXPECT_EQ(PortDevicePath(0, present), "");
    EXPECT_EQ(PortDevicePath(17, present), "");
}

} // namespace
