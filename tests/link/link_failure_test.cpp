// Transfers that fail: a radio of another type, a reply cut short, a pulled
// cable, a port that cannot be opened. Nothing of the output may change.
// The radio is on a simulated line; a held port, which only a real line
// has, is tested end to end (link_end_to_end_test.cpp).

#include "LinkFixtures.h"

#include "core/link/ConsoleTransfer.h"
#include "core/link/RadioTransfer.h"

#include <filesystem>
#include <fstream>

using namespace linktest;

namespace {

constexpr const char* kTypeMismatch = "Becuase the type of radio does not match,\ncommunications is interrupt.";
// The same on the console, where every message is one line.
constexpr const char* kTypeMismatchLine = "Becuase the type of radio does not match, communications is interrupt.";
constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";
constexpr const char* kCommunicationError = "Communication Error,Please check all the connections and the radio power";
constexpr const char* kCannotOpen =
    "Could not Open the Port,Please check whether the Port are occupied or the device are ok";

using RadioTransferFailure = SimulatedLineTest;

// A radio as radio-sim starts it, changed by one fault.
using Fault = void (*)(RadioSimulatorOptions&);

TEST_P(RadioTransferFailure, AnotherRadioTypeIsRefusedBeforeAnyFrame)
{
    struct Case
    {
        const char* ident;
        std::size_t identityLength;
        std::vector<std::uint8_t> identity;
    };
    const Case cases[] = {
        {"P1207", 8, Identity("P1207", 0xF5)}, {"Q3207", 8, Identity("Q3207", 0xF5)},
        {"P3217", 8, Identity("P3217", 0xF5)}, // each of bytes 2 to 4 counts
        {"P3227", 8, Identity("P3227", 0xF5)}, {"P3208", 8, Identity("P3208", 0xF5)},
        {"P3207", 4, {'P', '3', '2', '0'}}, // the missing fifth byte does not match
    };
    for (const auto& c : cases) {
        for (const char* verb : {"read", "write"}) {
            SCOPED_TRACE(Hex(c.identity) + " " + verb);
            TempDir dir;
            RadioSimulatorOptions radio = Erased();
            radio.identity = c.ident;
            radio.identityLength = c.identityLength;
            SimulatedLink link(Line(radio));
            const std::string file = SaveImageFile(dir, "image.dat", PatternImage(1, 2));
            const std::string out = dir.File("out.dat");

            const CliRun run = std::string(verb) == "read"
                                   ? RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out})
                                   : RunCliOn(link, dir, {"write", "--port", link.Device(), file});
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(kTypeMismatchLine), std::string::npos) << run.err;
            EXPECT_FALSE(std::filesystem::exists(out));
            auto lines = HandshakeLines(c.identity);
            lines.resize(4); // nothing after the identity reply
            EXPECT_EQ(link.Lines(), lines);
        }
    }
}

TEST_P(RadioTransferFailure, AnInterruptedReadChangesNothing)
{
    struct Case
    {
        const char* name;
        Fault fault;
    };
    const Case cases[] = {
        {"reply of 11 bytes at 0x0018", [](RadioSimulatorOptions& r) { r.shortReplyAt = 0x0018; }},
        {"cable pulled after 5 frames", [](RadioSimulatorOptions& r) { r.hangUpAfter = 5; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RadioSimulatorOptions radio = Holding(PatternImage(3, 4));
        c.fault(radio);
        SimulatedLink link(Line(radio));
        // An earlier output file stays exactly as it was.
        const std::string out = SaveImageFile(dir, "out.dat", PatternImage(9, 9));
        const std::string before = ReadText(out);

        const auto start = link.Radio().Now();
        const CliRun run = RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out});
        EXPECT_LT(link.Radio().Now() - start, std::chrono::seconds(3));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kProgramInterrupt), std::string::npos) << run.err;
        EXPECT_EQ(ReadText(out), before);
    }
}

TEST_P(RadioTransferFailure, AReadInterruptedAfterFrame40LeavesTheEnginesImageAsItWas)
{
    // Frames 0 to 39 (0x0000-0x013F) arrive; frame 40 at 0x0140 fails.
    const std::pair<const char*, Fault> faults[] = {
        {"short reply", [](RadioSimulatorOptions& r) { r.shortReplyAt = 0x0140; }},
        {"read acknowledge refused", [](RadioSimulatorOptions& r) { r.wrongReadAckAt = 0x0140; }},
        {"cable pulled", [](RadioSimulatorOptions& r) { r.hangUpAfter = 40; }},
    };
    for (const auto& [name, fault] : faults) {
        SCOPED_TRACE(name);
        RadioSimulatorOptions radio = Holding(PatternImage(3, 4));
        fault(radio);
        SimulatedLink link(Line(radio));
        SimulatedSerialPort port(link.Radio());
        RecordingPrompter prompter;
        IdlePump pump;
        RadioImage image = PatternImage(9, 9);
        const RadioImage before = image;

        const TransferResult result = RadioTransfer(port, prompter, pump).Read(link.Device(), image);
        EXPECT_EQ(result.outcome, TransferOutcome::Failed);
        EXPECT_EQ(result.message, TransferMessage::ProgramInterrupt);
        EXPECT_EQ(result.blocks, 20);
        EXPECT_EQ(prompter.shown, std::vector<TransferMessage>{TransferMessage::ProgramInterrupt});
        EXPECT_EQ(image, before);
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST_P(RadioTransferFailure, AWrongAnswerInsteadOfAnAcknowledgeEndsTheTransfer)
{
    struct Case
    {
        const char* name;
        Fault fault;
        const char* verb;
        const char* message;
        std::vector<std::string> wireEnd; // the last lines on the line
        std::string after = "";           // lines that follow the message
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
        {"handshake acknowledged with 15, read",
         [](RadioSimulatorOptions& r) { r.handshakeAck = 0x15; },
         "read",
         kCommunicationError,
         {"> 06", "< 15"}},
        {"handshake acknowledged with 00, write",
         [](RadioSimulatorOptions& r) { r.handshakeAck = 0x00; },
         "write",
         kCommunicationError,
         {"> 06", "< 00"}},
        {"read acknowledge answered with 15", [](RadioSimulatorOptions& r) { r.wrongReadAckAt = 0x0018; }, "read",
         kProgramInterrupt, Concat(readFrame(0x0010, "< 06"), readFrame(0x0018, "< 15"))},
        {"write frame answered with 15", [](RadioSimulatorOptions& r) { r.wrongAckAt = 0x0100; }, "write",
         kProgramInterrupt, writeFrame(0x0100),
         "program-cli write: The radio holds only part of the new data (32 of 102 blocks written). "
         "Write again before using the radio.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RadioSimulatorOptions options = Holding(radio);
        c.fault(options);
        SimulatedLink link(Line(options));
        const std::string out = dir.File("out.dat");

        const CliRun run =
            std::string(c.verb) == "read"
                ? RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out})
                : RunCliOn(link, dir, {"write", "--port", link.Device(), SaveImageFile(dir, "image.dat", image)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, std::string("program-cli ") + c.verb + ": " + c.message + "\n" + c.after);
        EXPECT_FALSE(std::filesystem::exists(out));
        const auto lines = link.Lines();
        ASSERT_GE(lines.size(), c.wireEnd.size());
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(c.wireEnd.size()), lines.end()), c.wireEnd);
        // A refused write frame is not stored: the radio holds the frames before it.
        if (std::string(c.verb) == "write" && std::string(c.message) == kProgramInterrupt) {
            RadioImage expected = radio;
            std::copy(image.begin(), image.begin() + 0x100, expected.begin());
            EXPECT_EQ(link.Memory(), expected);
        }
    }
}

TEST_P(RadioTransferFailure, EveryFailureIsOneLineOnStandardError)
{
    struct Case
    {
        const char* name;
        Fault fault;
        std::vector<std::string> cli; // "PORT" stands for the radio's device
        const char* message;
    };
    const Fault none = [](RadioSimulatorOptions&) {};
    const Case cases[] = {
        {"type mismatch",
         [](RadioSimulatorOptions& r) { r.identity = "P1207"; },
         {"read", "--port", "PORT"},
         kTypeMismatchLine},
        {"silent radio",
         [](RadioSimulatorOptions& r) { r.silent = true; },
         {"read", "--port", "PORT"},
         kCommunicationError},
        {"interrupted read",
         [](RadioSimulatorOptions& r) { r.shortReplyAt = 0x0018; },
         {"read", "--port", "PORT"},
         kProgramInterrupt},
        {"missing device", none, {"read", "--port", "/dev/no-such-radio-port"}, kCannotOpen},
        {"port number without a device", none, {"write", "--port", "99", "IMAGE"}, kCannotOpen},
        {"data file of another kind", none, {"write", "--port", "PORT", "OTHER"}, "Data Format Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RadioSimulatorOptions radio = Erased();
        c.fault(radio);
        SimulatedLink link(Line(radio));
        const std::string other = dir.File("other.dat");
        std::ofstream(other, std::ios::binary) << std::string(1040, 'x');
        std::vector<std::string> args;
        for (const std::string& arg : c.cli)
            args.push_back(arg == "PORT"    ? link.Device()
                           : arg == "IMAGE" ? SaveImageFile(dir, "image.dat", PatternImage(1, 2))
                           : arg == "OTHER" ? other
                                            : arg);
        if (args[0] == "read")
            args.insert(args.end(), {"-o", dir.File("out.dat")});

        const CliRun run = RunCliOn(link, dir, args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_NE(run.err.find(std::string(c.message).substr(0, 40)), std::string::npos) << run.err;
    }
}

TEST(RadioTransferFailureReport, APortWithoutPermissionSaysWhyOnTheSameLine)
{
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

INSTANTIATE_CABLES(RadioTransferFailure);

} // namespace
