#pragma once
// Programming many radios in a row with one document, unattended: wait for
// a radio, read it (the read copy is its backup), check it, write it, read
// it back to verify, report it, and wait until it has gone before taking
// the next. Each step is a session of its own on the transfer engine; a
// fault ends that radio only, and the run goes on with the next one.
//
// The run has no window and no clock of its own: the caller hands it the
// port, an observer that hears about every step and says when to stop, and
// the clock it waits on, so that a test can run it without sleeping.

#include "core/document/RadioImage.h"
#include "core/link/FleetImage.h"
#include "core/link/RadioTransfer.h"
#include "core/link/Timing.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

enum class FleetStep {
    Waiting, // for the next radio to answer
    Reading, // radio n
    Writing,
    Verifying,
    Done, // radio n has ended; waiting for it to go
};

enum class FleetResult {
    Written,
    Skipped,
    Failed,
};

// Why a radio ended as it did.
enum class FleetDetail {
    Verified,        // written, and the read-back equals what was sent
    OtherModel,      // skipped: identity or model differs from the first radio's
    OtherTypeOrBand, // skipped: radio type or band index differs from the document's
    Message,         // failed with the transfer's own message
    PartialWrite,    // failed: the write stopped after some frames
    VerifyDiffers,   // failed: the read-back differs from what was sent
    Cancelled,       // failed: stopped during a transfer
    NoBackup,        // failed: the read copy could not be stored, so the radio was left alone
};

struct FleetRecord
{
    int radio = 0;        // 1, 2, ... in the order taken
    std::time_t time = 0; // when it ended
    std::string port;
    std::string identity; // identity text, "P3207"
    std::optional<std::uint8_t> model;
    FleetResult result = FleetResult::Failed;
    FleetDetail detail = FleetDetail::Message;
    std::optional<TransferMessage> message; // with Message
    int frames = 0;                         // with PartialWrite: frames the radio took
    std::uint16_t differingAddress = 0;     // with VerifyDiffers: the first differing frame
    std::string first;                      // with OtherModel: the first radio's label
    std::string backup;                     // the read copy, when it was stored
    std::string backupError;                // why it was not
    bool disconnected = false;              // the transfer ended because the line hung up
};

// "written", "skipped", "failed": the log's words, never translated.
const char* FleetResultWord(FleetResult result);
// "Written" / "已写入" and so on, for a window.
const char* FleetResultText(FleetResult result, bool chinese);
// The Detail of a record. A transfer's own message is given in English
// here; a window shows its own text for it.
std::string FleetDetailText(const FleetRecord& record, bool chinese);

class FleetObserver
{
public:
    virtual ~FleetObserver() = default;
    // Asked often, between frames too: true stops the run. During a
    // transfer that radio ends as failed; between radios the run ends at once.
    virtual bool Cancelled() = 0;
    // Called at the pump steps of a transfer: a window processes its events.
    virtual void ProcessEvents() {}
    virtual void StepChanged(FleetStep step, int radio) { (void)step, (void)radio; }
    // After each 16-byte block of a read, write or verify, 1 to 51.
    virtual void Progress(int position) { (void)position; }
    virtual void RadioEnded(const FleetRecord& record) = 0;
};

class FleetClock
{
public:
    virtual ~FleetClock() = default;
    virtual MonotonicClock::time_point Now() = 0;
    // Returns at the deadline, or earlier once the observer would say
    // Cancelled (a window keeps processing its events meanwhile).
    virtual void SleepUntil(MonotonicClock::time_point deadline) = 0;
    virtual std::time_t WallNow() { return std::time(nullptr); }
};

class SystemFleetClock final : public FleetClock
{
public:
    MonotonicClock::time_point Now() override { return MonotonicClock::now(); }
    void SleepUntil(MonotonicClock::time_point deadline) override { ::SleepUntil(deadline); }
};

// The shortest time between two handshake attempts while waiting; an
// attempt on a silent line takes about 0.3 s on its own, so one starts at
// least every 0.5 s.
inline constexpr std::chrono::milliseconds kFleetAttemptInterval{250};
// A radio has gone once it has not answered for this long.
inline constexpr std::chrono::milliseconds kFleetGoneAfter{1000};

struct FleetOptions
{
    std::string device;
    RadioImage document{};
    bool wholeImage = false; // send the document's whole range instead of the merge
    int count = 0;           // end after this many radios written; 0 for no end
    int retries = 0;         // communication errors of a write or verify answered with Retry
    std::string backupDirectory;
};

struct FleetSummary
{
    int written = 0;
    int skipped = 0;
    int failed = 0;
    bool cancelled = false;
    // The run could not go on at all: the port could not be opened (then
    // openError says why) or the line hung up while waiting.
    bool portFailed = false;
    std::error_code openError;
    bool disconnected = false;
    int Taken() const { return written + skipped + failed; }
};

FleetSummary RunFleet(SerialPort& port, FleetObserver& observer, FleetClock& clock, const FleetOptions& options);
