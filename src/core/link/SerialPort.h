#pragma once
// The serial line as the radio protocol uses it: exclusive open, one fixed
// configuration, purges, blocking writes and reads with interval and total
// time-outs. The protocol talks only to this interface, so the tests and the
// GUI can hand it any line they like.

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

// Time-outs in milliseconds. A read of n bytes ends when n bytes have
// arrived, when readInterval passes after a byte without the next one, or
// when readTotalPerByte * n + readTotalConstant pass in all. A write of n
// bytes gives up after writeTotalPerByte * n + writeTotalConstant. Zero
// switches a time-out off.
struct SerialTimeouts
{
    int readInterval = 0;
    int readTotalPerByte = 0;
    int readTotalConstant = 0;
    int writeTotalPerByte = 0;
    int writeTotalConstant = 0;
};

// Line settings: always 8 data bits, no parity, 1 stop bit, binary.
struct SerialSettings
{
    int baudRate = 9600;
    std::size_t receiveQueue = 0; // suggested driver queue sizes, 0 = driver's choice
    std::size_t transmitQueue = 0;
    SerialTimeouts timeouts;
};

// Purge flags, combinable; the values are those of the classic
// communications API so that "0x0F" and "0x0C" read the same everywhere.
enum PurgeFlags : unsigned {
    kPurgeTransmitAbort = 0x01,
    kPurgeReceiveAbort = 0x02,
    kPurgeTransmitClear = 0x04,
    kPurgeReceiveClear = 0x08,
    kPurgeAll = 0x0F,
    kPurgeClear = kPurgeTransmitClear | kPurgeReceiveClear,
};

// The error Open gives for a device that is not a serial port (a file, a
// folder, a FIFO); its message is "not a serial port".
std::error_code NotASerialPortError();

class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // Opens the device for reading and writing, exclusively: while it is
    // open, a second open of the same device fails. Returns the reason of a
    // failure (no_such_file_or_directory, permission_denied,
    // device_or_resource_busy, ...), or an empty error_code.
    virtual std::error_code Open(const std::string& device) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // Applies speed, framing, queue sizes and time-outs. False when the
    // device refused a setting.
    virtual bool Configure(const SerialSettings& settings) = 0;
    // Throws away what the driver still holds in the directions named.
    virtual void Purge(unsigned flags) = 0;

    // Writes all bytes and returns once they have left, or false on an error
    // (a line that has hung up) or when the write time-out passed first.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    // Reads up to size bytes under the read time-outs; received tells how
    // many arrived. A time-out is not an error: it returns true with what
    // arrived, possibly nothing. False only when the call itself failed (the
    // line hung up, an I/O error, the port not open).
    virtual bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) = 0;

    // True once the line has hung up since it was opened (the cable pulled,
    // the device gone): every later read and write fails at once, so waiting
    // or retrying is pointless.
    virtual bool HungUp() const { return false; }
};
