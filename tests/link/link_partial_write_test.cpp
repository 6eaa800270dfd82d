// A radio left half-written is always reported, a pulled cable ends a
// transfer at once, Ctrl+C stops program-cli cleanly, and a write can be
// verified by reading the radio back.

#include "LinkHarness.h"

#include "core/link/SystemSerialPort.h"
#include "core/link/RadioTransfer.h"
#include "core/link/TransferMessages.h"

using namespace linktest;

namespace {

constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";

// Presses Cancel at the given pump step (0: never).
class CancelAtPump : public TransferPump
{
public:
    explicit CancelAtPump(int step) : step_(step) {}
    bool PumpStep() override { return ++steps_ == step_; }

private:
    int step_;
    int steps_ = 0;
};

TEST(PartialWrite, IsReportedAfterTheFirstAcknowledgedFrameAndBeforeTheLast)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;
        int cancelAt;
        TransferOutcome outcome;
        int frames;
        bool partial;
        bool disconnected;
    };
    const Case cases[] = {
        {"complete", {}, 0, TransferOutcome::Completed, 102, false, false},
        {"first frame refused", {"--wrong-ack-at", "0000"}, 0, TransferOutcome::Failed, 0, false, false},
        {"frame 0x0100 refused", {"--wrong-ack-at", "0100"}, 0, TransferOutcome::Failed, 32, true, false},
        {"last frame unanswered", {"--no-ack-at", "0328"}, 0, TransferOutcome::Failed, 101, true, false},
        {"cable pulled after 10 frames", {"--hangup-after", "10"}, 0, TransferOutcome::Failed, 10, true, true},
        {"Cancel before the first frame", {}, 6, TransferOutcome::Cancelled, 0, false, false},
        {"Cancel after the first block", {}, 7, TransferOutcome::Cancelled, 2, true, false},
        {"another radio type", {"--ident", "P1207"}, 0, TransferOutcome::Failed, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> options = {"--no-pace"};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        SystemSerialPort port;
        RecordingPrompter prompter;
        CancelAtPump pump(c.cancelAt);
        const auto start = std::chrono::steady_clock::now();
        const TransferResult result = RadioTransfer(port, prompter, pump).Write(sim.Device(), PatternImage(5, 6));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.frames, c.frames);
        EXPECT_EQ(IsPartialWrite(result), c.partial);
        EXPECT_EQ(result.disconnected, c.disconnected);
    }
    // A read is never a partial write, however it ends.
    Sim sim({"--no-pace", "--short-reply-at", "0100"});
    SystemSerialPort port;
    RecordingPrompter prompter;
    CancelAtPump pump(0);
    RadioImage image{};
    const TransferResult read = RadioTransfer(port, prompter, pump).Read(sim.Device(), image);
    EXPECT_EQ(read.frames, 32);
    EXPECT_FALSE(IsPartialWrite(read));
}

TEST(PartialWrite, TheSentenceGivesTheBlocksWrittenInBothLanguages)
{
    EXPECT_EQ(PartialWriteText(32, false),
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

TEST(Disconnection, ProgramCliSaysSoAfterTheMessageOfTheStage)
{
    TempDir dir;
    Sim sim({"--no-pace", "--hangup-after", "10"});
    const std::string device = sim.Device();
    const auto start = std::chrono::steady_clock::now();
    const CliRun run = RunCli(dir, {"write", "--port", device, SaveImageFile(dir, "image.dat", PatternImage(1, 2))});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, std::string("program-cli write: ") + kProgramInterrupt + "\n" +
                           "program-cli write: The cable was disconnected (" + device + ").\n" +
                           "program-cli write: " + PartialWriteText(10, false) + "\n");
}

// Runs program-cli against a paced radio and presses Ctrl+C after delay.
CliRun Interrupt(const TempDir& dir, const std::vector<std::string>& args, std::chrono::milliseconds delay)
{
    std::chrono::steady_clock::duration sincePressed{};
    const CliRun run = RunCliInterrupted(dir, args, delay, sincePressed);
    // The transfer ends at the next frame, well within a second.
    EXPECT_LT(sincePressed, std::chrono::milliseconds(900));
    return run;
}

TEST(CtrlC, StopsAReadOrWriteWithStatus130AndTouchesNoFile)
{
    if (const char* missing = ConsoleInterruptMissing())
        GTEST_SKIP() << missing;
    TempDir dir;
    Sim sim({"--pace"});
    const std::string image = SaveImageFile(dir, "image.dat", PatternImage(1, 2));
    const std::string out = SaveImageFile(dir, "out.dat", PatternImage(9, 9));
    const std::string before = ReadText(out);

    // 800 ms is past the handshake (about 0.2 s) and before the end (2 s).
    const CliRun write = Interrupt(dir, {"write", "--port", sim.Device(), image}, std::chrono::milliseconds(800));
    EXPECT_EQ(write.status, 130);
    EXPECT_NE(write.err.find("program-cli write: cancelled\n"), std::string::npos) << write.err;
    EXPECT_NE(write.err.find("The radio holds only part of the new data ("), std::string::npos) << write.err;

    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const CliRun read = Interrupt(dir, {"read", "--port", sim.Device(), "-o", out}, std::chrono::milliseconds(800));
    EXPECT_EQ(read.status, 130);
    EXPECT_EQ(read.err, "program-cli read: cancelled\n");
    EXPECT_EQ(ReadText(out), before);
    EXPECT_FALSE(std::filesystem::exists(dir.ReadCopies()));

    // The port was restored and closed: it opens again at once.
    SystemSerialPort port;
    EXPECT_FALSE(port.Open(sim.Device()));
}

TEST(Verify, ReadsTheRadioBackAndNamesEveryDifferingBlock)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"a sound radio", {}, 0, ""},
        {"a failing memory cell at 0x0123", {"--bad-cell", "0123"}, 1,
         "program-cli write: verify: the block at 0x0120 differs from what was written\n"},
        {"a cell beyond the link's range changes nothing", {"--bad-cell", "0340"}, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string log = dir.File("wire.log");
        std::vector<std::string> options = {"--no-pace", "--log", log};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const CliRun run =
            RunCli(dir, {"write", "--verify", "--port", sim.Device(), SaveImageFile(dir, "image.dat", PatternImage(1, 2))});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out.find("verified") != std::string::npos, c.status == 0) << run.out;
        sim.Stop();
        // Two sessions: the write, then a handshake and the read sequence.
        const auto lines = WireLines(log);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "> 02 50 52 4F 47 52 41 4D"), 2);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("> 52", 0) == 0; }),
                  102);
    }
}

}  // namespace
