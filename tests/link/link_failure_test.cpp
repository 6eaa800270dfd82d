// Transfers that fail: a radio of another type, a reply cut short, a pulled
// cable, a port that cannot be opened. Nothing of the output may change.

#include "LinkHarness.h"

#include "core/link/PosixSerialPort.h"

using namespace linktest;

namespace {

constexpr const char* kTypeMismatch = "Becuase the type of radio does not match,\ncommunications is interrupt.";
constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";
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
            EXPECT_NE(run.err.find(kTypeMismatch), std::string::npos) << run.err;
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

TEST(RadioTransferFailure, APortThatCannotBeOpenedSays61453)
{
    Sim sim({"--no-pace"});
    PosixSerialPort holder;  // another program holds the line
    ASSERT_FALSE(holder.Open(sim.Device()));
    for (const std::string& device : {sim.Device(), std::string("/dev/no-such-radio-port")}) {
        SCOPED_TRACE(device);
        TempDir dir;
        const std::string out = dir.File("out.dat");
        const CliRun run = RunCli(dir, {"read", "--port", device, "-o", out});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kCannotOpen), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(device + ": "), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

}  // namespace
