// The COM port: how the line settings and time-outs land in the DCB and
// COMMTIMEOUTS, how port names and open failures are read, and that a far
// end that goes away is a hang-up while a silent one is not.

#include "LinkFixtures.h"

#include "core/link/RadioTransfer.h"
#include "core/link/Win32SerialPort.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/util/Utf8Path.h"

#include <cstring>
#include <fstream>
#include <memory>

using namespace linktest;

namespace {

TEST(Win32SerialPort, TimeOutsMapOntoCommTimeouts)
{
    struct Case
    {
        const char* name;
        SerialTimeouts timeouts;
        COMMTIMEOUTS expected;
    };
    const Case cases[] = {
        {"the radio's line", RadioLineSettings().timeouts, {30, 50, 90, 50, 50}},
        {"all off", {}, {0, 0, 0, 0, 0}},
        {"total only", {0, 0, 1000, 0, 2000}, {0, 0, 1000, 0, 2000}},
        // -1 must not become MAXDWORD: with the totals off that would make
        // every read return at once instead of waiting.
        {"negative is off", {-1, -5, -90, -1, -1}, {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        COMMTIMEOUTS out;
        std::memset(&out, 0xA5, sizeof out);
        Win32CommTimeouts(c.timeouts, out);
        EXPECT_EQ(out.ReadIntervalTimeout, c.expected.ReadIntervalTimeout);
        EXPECT_EQ(out.ReadTotalTimeoutMultiplier, c.expected.ReadTotalTimeoutMultiplier);
        EXPECT_EQ(out.ReadTotalTimeoutConstant, c.expected.ReadTotalTimeoutConstant);
        EXPECT_EQ(out.WriteTotalTimeoutMultiplier, c.expected.WriteTotalTimeoutMultiplier);
        EXPECT_EQ(out.WriteTotalTimeoutConstant, c.expected.WriteTotalTimeoutConstant);
    }
}

TEST(Win32SerialPort, LineSettingsGiveA9600BinaryLineWithoutFlowControl)
{
    for (const int baud : {9600, 19200, 0}) {
        SCOPED_TRACE(baud);
        // A port left by another program with everything switched on.
        DCB dcb;
        std::memset(&dcb, 0xFF, sizeof dcb);
        dcb.ByteSize = 7;
        dcb.Parity = EVENPARITY;
        dcb.StopBits = TWOSTOPBITS;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        dcb.XonLim = 77;
        SerialSettings settings = RadioLineSettings();
        settings.baudRate = baud;
        Win32LineSettings(dcb, settings);

        EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
        EXPECT_EQ(dcb.BaudRate, baud > 0 ? static_cast<DWORD>(baud) : 9600u);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.Parity, NOPARITY);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fBinary, 1u);
        EXPECT_EQ(dcb.fParity, 0u);
        // No handshake lines, no XON/XOFF, nothing dropped or replaced.
        EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
        EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
        EXPECT_EQ(dcb.fDsrSensitivity, 0u);
        EXPECT_EQ(dcb.fOutX, 0u);
        EXPECT_EQ(dcb.fInX, 0u);
        EXPECT_EQ(dcb.fNull, 0u);
        EXPECT_EQ(dcb.fErrorChar, 0u);
        EXPECT_EQ(dcb.fAbortOnError, 0u);
        EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
        // What is not named stays as the driver had it.
        EXPECT_EQ(dcb.XonLim, 77);
        EXPECT_EQ(dcb.XoffChar, 0x13);
    }
}

TEST(Win32SerialPort, PortNamesOpenInTheDeviceNamespace)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"COM7", L"\\\\.\\COM7"},
        {"com12", L"\\\\.\\COM12"},
        {"\\\\.\\COM10", L"\\\\.\\COM10"},
        {"CNCA0", L"\\\\.\\CNCA0"},
        {"C:\\ports\\image.dat", L"C:\\ports\\image.dat"},
        {"/dev/ttyUSB0", L"/dev/ttyUSB0"},
    };
    for (const auto& [name, path] : cases)
        EXPECT_TRUE(Win32DevicePath(name) == path) << name;
}

TEST(Win32SerialPort, OpenFailuresSayWhy)
{
    const std::pair<DWORD, std::error_code> cases[] = {
        {ERROR_ACCESS_DENIED, std::make_error_code(std::errc::device_or_resource_busy)},
        {ERROR_SHARING_VIOLATION, std::make_error_code(std::errc::device_or_resource_busy)},
        {ERROR_FILE_NOT_FOUND, std::make_error_code(std::errc::no_such_file_or_directory)},
        {ERROR_PATH_NOT_FOUND, std::make_error_code(std::errc::no_such_file_or_directory)},
        {ERROR_GEN_FAILURE, {ERROR_GEN_FAILURE, std::system_category()}},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Win32OpenError(code), expected) << code;

    TempDir dir;
    const std::string file = dir.File("not-a-port.dat");
    std::ofstream(PathFromUtf8(file)) << "x";
    struct Open
    {
        std::string device;
        std::error_code expected;
    };
    const Open opens[] = {
        {"COM251", std::make_error_code(std::errc::no_such_file_or_directory)},
        {file, NotASerialPortError()},
    };
    for (const auto& open : opens) {
        Win32SerialPort port;
        EXPECT_EQ(port.Open(open.device), open.expected) << open.device;
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(Win32SerialPort, AFarEndThatGoesAwayIsAHangUpAndASilentOneIsNot)
{
    auto sim = std::make_unique<Sim>(std::vector<std::string>{"--silent"});
    Win32SerialPort port;
    ASSERT_FALSE(port.Open(sim->Device()));
    ASSERT_TRUE(port.Configure(RadioLineSettings()));
    std::uint8_t byte = 0x02;
    std::size_t received = 0;
    EXPECT_TRUE(port.Write(&byte, 1));
    EXPECT_TRUE(port.Read(&byte, 1, received)); // a time-out is no hang-up
    EXPECT_EQ(received, 0u);
    EXPECT_FALSE(port.HungUp());

    sim.reset(); // the radio's side of the line closes
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Read(&byte, 1, received));
    EXPECT_TRUE(port.HungUp());
    // Every later call fails at once.
    EXPECT_FALSE(port.Read(&byte, 1, received));
    EXPECT_FALSE(port.Write(&byte, 1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

} // namespace
