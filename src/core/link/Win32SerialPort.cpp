#include "core/link/Win32SerialPort.h"

#include "core/util/Utf8Path.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace {

DWORD Milliseconds(int value)
{
    return value > 0 ? static_cast<DWORD>(value) : 0;
}

HANDLE Handle(void* handle)
{
    return static_cast<HANDLE>(handle);
}

} // namespace

void Win32CommTimeouts(const SerialTimeouts& timeouts, COMMTIMEOUTS& out)
{
    out.ReadIntervalTimeout = Milliseconds(timeouts.readInterval);
    out.ReadTotalTimeoutMultiplier = Milliseconds(timeouts.readTotalPerByte);
    out.ReadTotalTimeoutConstant = Milliseconds(timeouts.readTotalConstant);
    out.WriteTotalTimeoutMultiplier = Milliseconds(timeouts.writeTotalPerByte);
    out.WriteTotalTimeoutConstant = Milliseconds(timeouts.writeTotalConstant);
}

void Win32LineSettings(DCB& dcb, const SerialSettings& settings)
{
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = settings.baudRate > 0 ? static_cast<DWORD>(settings.baudRate) : CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    // No hardware handshake: a programming cable has no lines for it.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // No software flow control, which would swallow data bytes 0x11 and
    // 0x13, and nothing that drops or replaces bytes: NUL bytes and bytes
    // with a framing error are data like any other.
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fErrorChar = FALSE;
    // An error on the line must not stop every later read and write until
    // ClearCommError.
    dcb.fAbortOnError = FALSE;
}

std::error_code Win32OpenError(unsigned long error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED: // a port another program holds
    case ERROR_SHARING_VIOLATION: return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME: return std::make_error_code(std::errc::no_such_file_or_directory);
    default: return {static_cast<int>(error), std::system_category()};
    }
}

bool IsWin32HangUpError(unsigned long error)
{
    switch (error) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_BROKEN_PIPE: return true;
    default: return false;
    }
}

std::wstring Win32DevicePath(const std::string& device)
{
    const std::wstring wide = WideFromUtf8(device);
    if (wide.rfind(L"\\\\", 0) == 0)
        return wide;
    // A bare device name ("COM7", "CNCA0") has no separator and no drive;
    // the device namespace form reaches every number, COM10 and up too.
    if (!wide.empty() && wide.find_first_of(L"\\/:") == std::wstring::npos) {
        std::wstring name = wide;
        if (name.size() > 3 && std::towupper(name[0]) == L'C' && std::towupper(name[1]) == L'O' &&
            std::towupper(name[2]) == L'M')
            name.replace(0, 3, L"COM");
        return L"\\\\.\\" + name;
    }
    return wide;
}

Win32SerialPort::~Win32SerialPort()
{
    Close();
}

std::error_code Win32SerialPort::Open(const std::string& device)
{
    Close();
    const std::wstring path = Win32DevicePath(device);
    // No sharing: while this handle is open, nobody else opens the port.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Win32OpenError(GetLastError());
    // A file, a folder or a pipe is no serial port.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (GetFileType(handle) != FILE_TYPE_CHAR || !GetCommState(handle, &dcb)) {
        CloseHandle(handle);
        return NotASerialPortError();
    }
    handle_ = handle;
    hungUp_ = false;
    return {};
}

void Win32SerialPort::Close()
{
    if (!handle_)
        return;
    CloseHandle(Handle(handle_));
    handle_ = nullptr;
}

bool Win32SerialPort::LineDown(unsigned long error)
{
    if (IsWin32HangUpError(error))
        hungUp_ = true;
    SetLastError(error);
    return false;
}

bool Win32SerialPort::Configure(const SerialSettings& settings)
{
    if (!handle_)
        return false;
    HANDLE handle = Handle(handle_);
    timeouts_ = settings.timeouts;
    if (settings.receiveQueue > 0 && settings.transmitQueue > 0)
        SetupComm(handle, static_cast<DWORD>(settings.receiveQueue), static_cast<DWORD>(settings.transmitQueue));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        return false;
    Win32LineSettings(dcb, settings);
    if (!SetCommState(handle, &dcb))
        return false;
    COMMTIMEOUTS commTimeouts{};
    Win32CommTimeouts(settings.timeouts, commTimeouts);
    return SetCommTimeouts(handle, &commTimeouts) != 0;
}

void Win32SerialPort::Purge(unsigned flags)
{
    if (!handle_)
        return;
    // Only the receive side is purged. Every write returns once its bytes
    // have left, so the transmit side holds nothing of ours between calls,
    // and where a driver (or wine on a pseudo-terminal) still holds the
    // last bytes written, clearing it would throw them away: the
    // acknowledge the protocol purges right after sending would never
    // reach the radio.
    const DWORD receive = flags & (kPurgeReceiveAbort | kPurgeReceiveClear);
    if (receive)
        PurgeComm(Handle(handle_), receive);
}

bool Win32SerialPort::Write(const std::uint8_t* data, std::size_t size)
{
    if (!handle_ || hungUp_)
        return false;
    std::size_t sent = 0;
    while (sent < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - sent, 1u << 16));
        DWORD written = 0;
        if (!WriteFile(Handle(handle_), data + sent, chunk, &written, nullptr))
            return LineDown(GetLastError());
        // Fewer bytes than asked for: the write time-out has passed.
        if (written < chunk)
            return false;
        sent += written;
    }
    return true;
}

bool Win32SerialPort::Read(std::uint8_t* data, std::size_t size, std::size_t& received)
{
    received = 0;
    if (!handle_ || hungUp_)
        return false;
    if (size == 0)
        return true;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 16));
    DWORD got = 0;
    if (!ReadFile(Handle(handle_), data, wanted, &got, nullptr))
        return LineDown(GetLastError());
    received = got;
    if (got == wanted)
        return true;
    // The read ended by time-out. Some drivers (and pseudo-terminals under
    // wine) let reads time out as usual on a device that has gone; asking
    // for the line's state tells them apart.
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle(handle_), &errors, &status) && IsWin32HangUpError(GetLastError())) {
        hungUp_ = true;
        return got > 0; // what arrived before is delivered; the next call fails
    }
    return true;
}
