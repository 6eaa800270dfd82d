#pragma once
// The radio programming protocol: wakes the radio, checks its identity and
// moves image offsets 0x000-0x32F to or from it in 102 frames of 8 bytes.
//
// The engine never touches a window. It is handed a serial port, a prompter
// that shows its messages and a pump that lets the caller process events
// between steps and tells whether the user has cancelled. The caller does
// what surrounds a transfer: committing grid edits and copying the grid into
// the image before a write; setting the device mode, clearing the
// new-document flag and refilling the grid after a completed read; closing
// the progress dialog after every transfer.

#include "core/document/RadioImage.h"
#include "core/link/SerialPort.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

// The messages a transfer can show. The numbers are the string resource IDs;
// the type mismatch is not a resource but a bilingual text.
enum class TransferMessage : int {
    TypeMismatch = 0,
    CommunicationError = 61451, // asked with Retry and Cancel
    CannotOpenPort = 61453,
    ProgramInterrupt = 61454,
};

class TransferPrompter
{
public:
    virtual ~TransferPrompter() = default;
    // A failure that ends the transfer, shown with an OK button.
    virtual void ShowMessage(TransferMessage message) = 0;
    // The communication error, shown with Retry and Cancel; true for Retry.
    virtual bool AskRetry(TransferMessage message) = 0;
};

class TransferPump
{
public:
    virtual ~TransferPump() = default;
    // Processes at most one pending event; returns true when the user has
    // cancelled, which ends the transfer at once and without a message.
    virtual bool PumpStep() = 0;
    // Called after each 16-byte block with the new position, 1 to 51.
    virtual void SetProgress(int position) { (void)position; }
    // Asked before the second frame of each block, without processing any
    // event: true ends the transfer there as a Cancel does. For a caller
    // whose cancel arrives on its own (a console's Ctrl+C).
    virtual bool Interrupted() { return false; }
};

enum class TransferOutcome {
    Completed,
    Cancelled, // through the pump; nothing was shown
    Failed,    // message says which failure was shown
};

struct TransferResult
{
    TransferOutcome outcome = TransferOutcome::Failed;
    std::optional<TransferMessage> message; // the failure shown last, when Failed
    std::error_code openError;              // why the port could not be opened
    int deviceMode = -1;                    // after a completed read: 0, 1 or 2
    int blocks = 0;                         // 16-byte blocks moved
    int frames = 0;                         // 8-byte frames moved and acknowledged
    int attempts = 0;                       // connection attempts started
    bool writing = false;                   // the transfer was a write
    bool disconnected = false;              // it ended because the line hung up
    std::string identity;                   // identity reply bytes 0-4 as received, when any arrived
    std::optional<std::uint8_t> model;      // identity reply byte 7, when it arrived
};

inline constexpr int kTransferFrames = 102;

// A write that ended after the radio had taken at least one frame and
// before it had taken the last: the radio holds part old, part new data.
bool IsPartialWrite(const TransferResult& result);

// The line settings of every transfer: 9600 baud 8N1, driver queues of 1024
// and 512 bytes, a 30 ms gap ends a read, a read of n bytes gives up after
// 50 * n + 90 ms, a write of n bytes after 50 * n + 50 ms.
SerialSettings RadioLineSettings();

// Device mode from the identity's model code: 0xFF gives 1, 0xF5 gives 2,
// anything else (a missing byte too) gives 0.
int DeviceModeFromModel(std::optional<std::uint8_t> model);

class RadioTransfer
{
public:
    RadioTransfer(SerialPort& port, TransferPrompter& prompter, TransferPump& pump);

    // Reads the radio into image offsets 0x000-0x32F. The frames are
    // collected aside and the image changes only after the last one has
    // been acknowledged: a failed or cancelled read leaves it untouched.
    // Offsets 0x330-0x3FF never change.
    TransferResult Read(const std::string& device, RadioImage& image);
    // Writes image offsets 0x000-0x32F to the radio, as they stand when the
    // call begins.
    TransferResult Write(const std::string& device, const RadioImage& image);
    // One connection attempt and nothing more, without any message or pump
    // step: whether a radio answers on the line. Completed when one answered
    // (also with an identity the protocol refuses); Failed with no message
    // when none did, with CannotOpenPort when the port could not be opened.
    TransferResult Probe(const std::string& device);

private:
    enum class Connection { Connected, NoAnswer, WrongType, Disconnected };

    bool Open(const std::string& device, TransferResult& result);
    bool Connect(TransferResult& result); // attempts until connected; false when the transfer ended
    Connection Attempt();
    bool Pump(int steps); // false when the user cancelled
    // Runs frame(address, half) for the 102 frames in order, with progress
    // and pump steps after each block. False when the transfer ended early
    // (the failure shown, or Cancel); result then says how.
    bool MoveFrames(TransferResult& result, const std::function<bool(std::uint16_t, int)>& frame);
    bool ReadFrame(std::uint16_t address, std::uint8_t* data);
    bool WriteFrame(std::uint16_t address, const std::uint8_t* data);
    bool ReadByte(std::uint8_t& byte, bool* callOk = nullptr);
    void WriteByte(std::uint8_t byte);
    TransferResult& End(TransferResult& result, TransferOutcome outcome,
                        std::optional<TransferMessage> shown = std::nullopt);

    SerialPort& port_;
    TransferPrompter& prompter_;
    TransferPump& pump_;
    bool answerRead_ = false;
    std::optional<std::uint8_t> model_;
    std::string identity_;
};
