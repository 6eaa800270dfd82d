// Transfers that fail: a radio of another type, a reply cut short, a pulled
// cable, a port that cannot be opened. Nothing of the output may change.

#include "LinkHarness.h"

#include "core/link/ConsoleTransfer.h"
#include "core/link/SystemSerialPort.h"
#include "core/link/RadioTransfer.h"

using namespace linktest;

namespace {

constexpr const char* kTypeMismatch = "Becuase the type of radio does not match,\ncommunications is interrupt.";
// The same on the console, where every message is one line.
constexpr const char* kTypeMismatchLine = "Becuase the type of radio does not match, communications is interrupt.";
constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";
constexpr const char* kCommunicationError =
    "Communication Error,Please check all the connections and the radio power";
constexpr const char* kCannotOpen =
    "Could not Open the Port,Please check whether the Port are occupied or the device are ok";

TEST(RadioTransferFailure, AnotherRadioTypeIsRefusedBeforeAnyFrame)
{
    struct Case
    {
        std::vector<std::string> simOptions;
        std::vector<std::uint8_t> identity;
    };
    const Case cases[] = {
        {{"--ident", "P1207"}, Identity("P1207", 0xF5)},
        {{"--ident", "Q3207"}, Identity("Q3207", 0xF5)},
        {{"--ident", "P3217"}, Identity("P3217", 0xF5)},  // each of bytes 2 to 4 counts
        {{"--ident", "P3227"}, Identity("P3227", 0xF5)},
        {{"--ident", "P3208"}, Identity("P3208", 0xF5)},
        {{"--ident-length", "4"}, {'P', '3', '2', '0'}},  // the missing fifth byte does not match
    };
    for (const auto& c : cases) {
        for (const char* verb : {"read", "write"}) {
            SCOPED_TRACE(Hex(c.identity) + " " + verb);
            TempDir dir;
            const std::string log = dir.File("wire.log");
            std::vector<std::string> options = {"--no-pace", "--once", "--log", log};
            options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
            Sim sim(options);
            const std::string file = SaveImageFile(dir, "image.dat", PatternImage(1, 2));
            const std::string out = dir.File("out.dat");

            const CliRun run = std::string(verb) == "read"
                                   ? RunCli(dir, {"read", "--port", sim.Device(), "-o", out})
                                   : RunCli(dir, {"write", "--port", sim.Device(), file});
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(kTypeMismatchLine), std::string::npos) << run.err;
            EXPECT_FALSE(std::filesystem::exists(out));
            EXPECT_EQ(sim.WaitForExit(), 0);
            auto lines = HandshakeLines(c.identity);
            lines.resize(4);  // nothing after the identity reply
            EXPECT_EQ(WireLines(log), lines);
        }
    }
}

TEST(RadioTransferFailure, AnInterruptedReadChangesNothing)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;
    };
    const Case cases[] = {
        {"reply of 11 bytes at 0x0018", {"--short-reply-at", "0018"}},
        {"cable pulled after 5 frames", {"--hangup-after", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> options = {"--no-pace", "--once", "--image",
                                            SaveImageFile(dir, "radio.dat", PatternImage(3, 4))};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        // An earlier output file stays exactly as it was.
        const std::string out = SaveImageFile(dir, "out.dat", PatternImage(9, 9));
        const std::string before = ReadText(out);

        const auto start = std::chrono::steady_clock::now();
        const CliRun run = RunCli(dir, {"read", "--port", sim.Device(), "-o", out});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kProgramInterrupt), std::string::npos) << run.err;
        EXPECT_EQ(ReadText(out), before);
    }
}

class IdlePump : public TransferPump
{
public:
    bool PumpStep() override { return false; }
};

TEST(RadioTransferFailure, AReadInterruptedAfterFrame40LeavesTheEnginesImageAsItWas)
{
    // Frames 0 to 39 (0x0000-0x013F) arrive; frame 40 at 0x0140 fails.
    const std::vector<std::string> faults[] = {
        {"--short-reply-at", "0140"},
        {"--wrong-read-ack-at", "0140"},
        {"--hangup-after", "40"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault[0]);
        TempDir dir;
        std::vector<std::string> options = {"--no-pace", "--image", SaveImageFile(dir, "radio.dat", PatternImage(3, 4))};
        options.insert(options.end(), fault.begin(), fault.end());
        Sim sim(options);
        SystemSerialPort port;
        RecordingPrompter prompter;
        IdlePump pump;
        RadioImage image = PatternImage(9, 9);
        const RadioImage before = image;

        const TransferResult result = RadioTransfer(port, prompter, pump).Read(sim.Device(), image);
        EXPECT_EQ(result.outcome, TransferOutcome::Failed);
        EXPECT_EQ(result.message, TransferMessage::ProgramInterrupt);
        EXPECT_EQ(result.blocks, 20);
        EXPECT_EQ(prompter.shown, std::vector<TransferMessage>{TransferMessage::ProgramInterrupt});
        EXPECT_EQ(image, before);
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(RadioTransferFailure, AWrongAnswerInsteadOfAnAcknowledgeEndsTheTransfer)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;
        const char* verb;
        const char* message;
        std::vector<std::string> wireEnd;  // the last lines on the line
        std::string after = "";            // lines that follow the message
    };
    const RadioImage radio = PatternImage(0x31, 0x00);
    const RadioImage image = PatternImage(0x42, 0x99);
    auto readFrame = [&](std::size_t address, const char* answer) {
        auto reply = Header('W', address);
        const auto data = Slice(radio, address, 8);
        reply.insert(reply.end(), data.begin(), data.end());
        return std::vector<std::string>{">" + Hex(Header('R', address)), "<" + Hex(reply), "> 06", answer};
    };
    auto writeFrame = [&](std::size_t address) {
        auto frame = Header('W', address);
        const auto data = Slice(image, address, 8);
        frame.insert(frame.end(), data.begin(), data.end());
        return std::vector<std::string>{">" + Hex(frame), "< 15"};
    };
    const Case cases[] = {
        {"handshake acknowledged with 15, read", {"--handshake-ack", "15"}, "read", kCommunicationError,
         {"> 06", "< 15"}},
        {"handshake acknowledged with 00, write", {"--handshake-ack", "00"}, "write", kCommunicationError,
         {"> 06", "< 00"}},
        {"read acknowledge answered with 15", {"--wrong-read-ack-at", "0018"}, "read", kProgramInterrupt,
         Concat(readFrame(0x0010, "< 06"), readFrame(0x0018, "< 15"))},
        {"write frame answered with 15", {"--wrong-ack-at", "0100"}, "write", kProgramInterrupt,
         writeFrame(0x0100),
         "program-cli write: The radio holds only part of the new data (32 of 102 blocks written). "
         "Write again before using the radio.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string log = dir.File("wire.log");
        const std::string saved = dir.File("saved.dat");
        std::vector<std::string> options = {"--no-pace", "--once", "--log", log, "--image",
                                            SaveImageFile(dir, "radio.dat", radio), "--save", saved};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const std::string out = dir.File("out.dat");

        const CliRun run = std::string(c.verb) == "read"
                               ? RunCli(dir, {"read", "--port", sim.Device(), "-o", out})
                               : RunCli(dir, {"write", "--port", sim.Device(), SaveImageFile(dir, "image.dat", image)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, std::string("program-cli ") + c.verb + ": " + c.message + "\n" + c.after);
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_EQ(sim.WaitForExit(), 0);
        const auto lines = WireLines(log);
        ASSERT_GE(lines.size(), c.wireEnd.size());
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(c.wireEnd.size()), lines.end()), c.wireEnd);
        // A refused write frame is not stored: the radio holds the frames before it.
        if (std::string(c.verb) == "write" && std::string(c.message) == kProgramInterrupt) {
            RadioImage expected = radio;
            std::copy(image.begin(), image.begin() + 0x100, expected.begin());
            EXPECT_EQ(LoadImageFile(saved), expected);
        }
    }
}

TEST(RadioTransferFailure, APortThatCannotBeOpenedSays61453)
{
    Sim sim({"--no-pace"});
    SystemSerialPort holder;  // another program holds the line
    ASSERT_FALSE(holder.Open(sim.Device()));
    const char* heldOpenMissing = ExclusiveOpenMissing();
    for (const std::string& device : {sim.Device(), std::string("/dev/no-such-radio-port")}) {
        if (device == sim.Device() && heldOpenMissing)
            continue;
        SCOPED_TRACE(device);
        TempDir dir;
        const std::string out = dir.File("out.dat");
        const CliRun run = RunCli(dir, {"read", "--port", device, "-o", out});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kCannotOpen), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(device + ": "), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    if (heldOpenMissing)
        GTEST_SKIP() << "the held port: " << heldOpenMissing;
}

TEST(RadioTransferFailure, EveryFailureIsOneLineOnStandardError)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> simOptions;  // empty: no radio at all
        std::vector<std::string> cli;         // "PORT" stands for the radio's device
        const char* message;
    };
    const Case cases[] = {
        {"type mismatch", {"--ident", "P1207"}, {"read", "--port", "PORT"}, kTypeMismatchLine},
        {"silent radio", {"--silent"}, {"read", "--port", "PORT"}, kCommunicationError},
        {"interrupted read", {"--short-reply-at", "0018"}, {"read", "--port", "PORT"}, kProgramInterrupt},
        {"missing device", {}, {"read", "--port", "/dev/no-such-radio-port"}, kCannotOpen},
        {"port number without a device", {}, {"write", "--port", "99", "IMAGE"}, kCannotOpen},
        {"data file of another kind", {}, {"write", "--port", "PORT", "OTHER"}, "Data Format Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> options = {"--no-pace"};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const std::string other = dir.File("other.dat");
        std::ofstream(other, std::ios::binary) << std::string(1040, 'x');
        std::vector<std::string> args;
        for (const std::string& arg : c.cli)
            args.push_back(arg == "PORT" ? sim.Device()
                           : arg == "IMAGE" ? SaveImageFile(dir, "image.dat", PatternImage(1, 2))
                           : arg == "OTHER" ? other : arg);
        if (args[0] == "read")
            args.insert(args.end(), {"-o", dir.File("out.dat")});

        const CliRun run = RunCli(dir, args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_NE(run.err.find(std::string(c.message).substr(0, 40)), std::string::npos) << run.err;
    }
    // A device that exists but is not permitted: the reason and the way to
    // get access follow the message on the same line.
    std::ostringstream err;
    TransferResult refused;
    refused.message = TransferMessage::CannotOpenPort;
    refused.openError = std::make_error_code(std::errc::permission_denied);
    ReportTransferEnd(refused, "/dev/null", "program-cli read: ", err);
    EXPECT_EQ(Count(err.str(), "\n"), 1u) << err.str();
    EXPECT_EQ(err.str().rfind(std::string("program-cli read: ") + kCannotOpen + " (/dev/null: ", 0), 0u) << err.str();
#ifdef _WIN32
    // Windows has no device groups and no udev: no advice follows.
    EXPECT_EQ(err.str().find("udev rule"), std::string::npos) << err.str();
#else
    // /dev/null is open to everyone: no group would help, the udev rule may.
    EXPECT_NE(err.str().find("udev rule"), std::string::npos) << err.str();
#endif
}

}  // namespace
