// A radio left half-written is always reported, a pulled cable ends a
// transfer at once, and a write can be verified by reading the radio back;
// the radio on a simulated line. Ctrl+C, which needs program-cli as a
// process of its own, is tested end to end (link_end_to_end_test.cpp).

#include "LinkFixtures.h"

#include "core/link/RadioTransfer.h"
#include "core/link/TransferMessages.h"

#include <optional>

using namespace linktest;

namespace {

constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";

// Presses Cancel at the given pump step (0: never).
class CancelAtPump : public TransferPump
{
public:
    explicit CancelAtPump(int step)
        : step_(step)
    {}
    bool PumpStep() override { return ++steps_ == step_; }

private:
    int step_;
    int steps_ = 0;
};

using PartialWrite = SimulatedLineTest;
using Fault = void (*)(RadioSimulatorOptions&);

TEST_P(PartialWrite, IsReportedAfterTheFirstAcknowledgedFrameAndBeforeTheLast)
{
    struct Case
    {
        const char* name;
        Fault fault;
        int cancelAt;
        TransferOutcome outcome;
        int frames;
        bool partial;
        bool disconnected;
    };
    const Fault none = [](RadioSimulatorOptions&) {};
    const Case cases[] = {
        {"complete", none, 0, TransferOutcome::Completed, 102, false, false},
        {"first frame refused", [](RadioSimulatorOptions& r) { r.wrongAckAt = 0x0000; }, 0, TransferOutcome::Failed, 0,
         false, false},
        {"frame 0x0100 refused", [](RadioSimulatorOptions& r) { r.wrongAckAt = 0x0100; }, 0, TransferOutcome::Failed,
         32, true, false},
        {"last frame unanswered", [](RadioSimulatorOptions& r) { r.noAckAt = 0x0328; }, 0, TransferOutcome::Failed, 101,
         true, false},
        {"cable pulled after 10 frames", [](RadioSimulatorOptions& r) { r.hangUpAfter = 10; }, 0,
         TransferOutcome::Failed, 10, true, true},
        {"Cancel before the first frame", none, 6, TransferOutcome::Cancelled, 0, false, false},
        {"Cancel after the first block", none, 7, TransferOutcome::Cancelled, 2, true, false},
        {"another radio type", [](RadioSimulatorOptions& r) { r.identity = "P1207"; }, 0, TransferOutcome::Failed, 0,
         false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RadioSimulatorOptions radio = Erased();
        c.fault(radio);
        SimulatedLink link(Line(radio));
        SimulatedSerialPort port(link.Radio());
        RecordingPrompter prompter;
        CancelAtPump pump(c.cancelAt);
        const auto start = link.Radio().Now();
        const TransferResult result = RadioTransfer(port, prompter, pump).Write(link.Device(), PatternImage(5, 6));
        EXPECT_LT(link.Radio().Now() - start, std::chrono::seconds(3));
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.frames, c.frames);
        EXPECT_EQ(IsPartialWrite(result), c.partial);
        EXPECT_EQ(result.disconnected, c.disconnected);
    }
    // A read is never a partial write, however it ends.
    RadioSimulatorOptions radio = Erased();
    radio.shortReplyAt = 0x0100;
    SimulatedLink link(Line(radio));
    SimulatedSerialPort port(link.Radio());
    RecordingPrompter prompter;
    CancelAtPump pump(0);
    RadioImage image{};
    const TransferResult read = RadioTransfer(port, prompter, pump).Read(link.Device(), image);
    EXPECT_EQ(read.frames, 32);
    EXPECT_FALSE(IsPartialWrite(read));
}

TEST(PartialWrite, TheSentenceGivesTheBlocksWrittenInBothLanguages)
{
    EXPECT_EQ(
        PartialWriteText(32, false),
        "The radio holds only part of the new data (32 of 102 blocks written). Write again before using the radio.");
    EXPECT_EQ(PartialWriteText(1, true), "对讲机只写入了部分新数据(已写入 1/102 块)。使用前请重新写入。");
    EXPECT_EQ(DisconnectedText("/dev/ttyUSB0", false), "The cable was disconnected (/dev/ttyUSB0).");
    EXPECT_EQ(DisconnectedText("/dev/ttyUSB0", true), "数据线已断开(/dev/ttyUSB0)。");
}

// A line that hangs up at its first read, as a cable pulled right after
// the port was opened.
class PulledCable : public SerialPort
{
public:
    std::error_code Open(const std::string&) override
    {
        open_ = true;
        return {};
    }
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    bool Configure(const SerialSettings&) override { return true; }
    void Purge(unsigned) override {}
    bool Write(const std::uint8_t*, std::size_t) override { return !hungUp_; }
    bool Read(std::uint8_t*, std::size_t, std::size_t& received) override
    {
        received = 0;
        ++reads;
        hungUp_ = true;
        return false;
    }
    bool HungUp() const override { return hungUp_; }
    int reads = 0;

private:
    bool open_ = false;
    bool hungUp_ = false;
};

class CountingPrompter : public TransferPrompter
{
public:
    void ShowMessage(TransferMessage message) override { shown.push_back(message); }
    bool AskRetry(TransferMessage) override
    {
        ++asked;
        return true;
    }
    std::vector<TransferMessage> shown;
    int asked = 0;
};

TEST(Disconnection, DuringTheHandshakeEndsWithoutOfferingRetry)
{
    for (const bool write : {false, true}) {
        SCOPED_TRACE(write ? "write" : "read");
        PulledCable cable;
        CountingPrompter prompter;
        CancelAtPump pump(0);
        RadioTransfer transfer(cable, prompter, pump);
        RadioImage image{};
        const TransferResult result = write ? transfer.Write("cable", image) : transfer.Read("cable", image);
        EXPECT_EQ(result.outcome, TransferOutcome::Failed);
        EXPECT_TRUE(result.disconnected);
        EXPECT_EQ(prompter.asked, 0);
        EXPECT_EQ(prompter.shown, std::vector<TransferMessage>{TransferMessage::CommunicationError});
        EXPECT_EQ(cable.reads, 1);
        EXPECT_FALSE(cable.IsOpen());
    }
}

using DisconnectedCable = SimulatedLineTest;

TEST_P(DisconnectedCable, ProgramCliSaysSoAfterTheMessageOfTheStage)
{
    TempDir dir;
    RadioSimulatorOptions radio = Erased();
    radio.hangUpAfter = 10;
    SimulatedLink link(Line(radio));
    const std::string device = link.Device();
    const auto start = link.Radio().Now();
    const CliRun run =
        RunCliOn(link, dir, {"write", "--port", device, SaveImageFile(dir, "image.dat", PatternImage(1, 2))});
    EXPECT_LT(link.Radio().Now() - start, std::chrono::seconds(3));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, std::string("program-cli write: ") + kProgramInterrupt + "\n" +
                           "program-cli write: The cable was disconnected (" + device + ").\n" +
                           "program-cli write: " + PartialWriteText(10, false) + "\n");
}

using Verify = SimulatedLineTest;

TEST_P(Verify, ReadsTheRadioBackAndNamesEveryDifferingBlock)
{
    struct Case
    {
        const char* name;
        std::optional<std::uint16_t> badCell;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"a sound radio", std::nullopt, 0, ""},
        {"a failing memory cell at 0x0123", 0x0123, 1,
         "program-cli write: verify: the block at 0x0120 differs from what was written\n"},
        {"a cell beyond the link's range changes nothing", 0x0340, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RadioSimulatorOptions radio = Erased();
        radio.badCell = c.badCell;
        SimulatedLink link(Line(radio));
        const CliRun run = RunCliOn(
            link, dir,
            {"write", "--verify", "--port", link.Device(), SaveImageFile(dir, "image.dat", PatternImage(1, 2))});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out.find("verified") != std::string::npos, c.status == 0) << run.out;
        // Two sessions: the write, then a handshake and the read sequence.
        const auto lines = link.Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "> 02 50 52 4F 47 52 41 4D"), 2);
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("> 52", 0) == 0; }),
            102);
    }
}

INSTANTIATE_CABLES(PartialWrite);
INSTANTIATE_CABLES(DisconnectedCable);
INSTANTIATE_CABLES(Verify);

} // namespace
