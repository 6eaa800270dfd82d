#pragma once
// SerialPort on a Windows COM port, through the classic communications API:
// CreateFileW without sharing, the DCB for the line, COMMTIMEOUTS for the
// read and write time-outs, PurgeComm, and blocking ReadFile and WriteFile.
//
// A device that goes away while open (a USB cable pulled) makes ReadFile
// and WriteFile fail with one of the errors that IsWin32HangUpError names;
// the port then remembers the hang-up (HungUp) and fails every later call.
// Some drivers, and a pseudo-terminal under wine, let reads time out as
// usual instead; after a read that ended short the port asks for the
// line's state (ClearCommError), which fails on a line that has gone.
//
// <windows.h> stays out of this header: its macros (min, max, ERROR, ...)
// would reach every file that wants the system's port.

#include "core/link/SerialPort.h"

#include <cstdint>
#include <string>
#include <system_error>

struct _COMMTIMEOUTS;
struct _DCB;

// The time-outs as COMMTIMEOUTS fields. Zero is off on both sides; a
// negative value counts as zero (it must not become MAXDWORD, which for the
// read interval means "return at once with what is there").
void Win32CommTimeouts(const SerialTimeouts& timeouts, _COMMTIMEOUTS& out);
// 8 data bits, no parity, one stop bit, binary, no flow control of any
// kind, every byte value passed on (no NUL stripping, no error character),
// DTR and RTS on; speed from settings (9600 when not positive). Fields not
// named stay as the driver reported them.
void Win32LineSettings(_DCB& dcb, const SerialSettings& settings);

// The error Open reports for a Win32 error code: the errc values the
// messages know (busy, no such device, access), the system category
// otherwise.
std::error_code Win32OpenError(unsigned long error);
// Errors of ReadFile/WriteFile that mean the device itself has gone.
bool IsWin32HangUpError(unsigned long error);
// The device path to open for a port name: "COM7" and "com7" become
// "\\.\COM7"; a name that already starts with "\\" is used as it is, and so
// is anything that looks like a file path.
std::wstring Win32DevicePath(const std::string& device);

class Win32SerialPort final : public SerialPort
{
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    std::error_code Open(const std::string& device) override;
    bool IsOpen() const override { return handle_ != nullptr; }
    void Close() override;

    bool Configure(const SerialSettings& settings) override;
    void Purge(unsigned flags) override;
    bool Write(const std::uint8_t* data, std::size_t size) override;
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override;
    bool HungUp() const override { return hungUp_; }

private:
    bool LineDown(unsigned long error); // remembers a hang-up error; returns false for the caller to pass on

    void* handle_ = nullptr; // the HANDLE; null when closed
    bool hungUp_ = false;
    SerialTimeouts timeouts_;
};
