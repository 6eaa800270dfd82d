// program-cli against radio-sim on a pseudo-terminal (a COM port of the wine
// prefix on Windows), through the system's serial port: what only real
// processes and a real line show - a whole read and a verified write, a
// pulled cable, a held port, Ctrl+C. The fault matrix runs on a simulated
// line in the other link suites.

#include "LinkFixtures.h"

#include "core/link/SystemSerialPort.h"
#include "core/link/TransferMessages.h"

#include <filesystem>
#include <thread>

using namespace linktest;

namespace {

constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";
constexpr const char* kCannotOpen =
    "Could not Open the Port,Please check whether the Port are occupied or the device are ok";

TEST(EndToEnd, AReadMovesTheRadioMemoryByteExactly)
{
    TempDir dir;
    const RadioImage memory = PatternImage(0x11, 0xAA);
    const RadioImage base = PatternImage(0x5C, 0x3C);
    const std::string log = dir.File("wire.log");
    Sim sim({"--no-pace", "--once", "--log", log, "--image", SaveImageFile(dir, "radio.dat", memory)});
    const std::string out = dir.File("out.dat");

    const CliRun run =
        RunCli(dir, {"read", "--port", sim.Device(), "-o", out, "--base", SaveImageFile(dir, "base.dat", base)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.ends_with("device mode: 2\n")) << run.out;
    EXPECT_EQ(sim.WaitForExit(), 0);

    RadioImage expected = base;
    std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
    EXPECT_EQ(LoadImageFile(out), expected);
    EXPECT_EQ(WireLines(log), Concat(HandshakeLines(Identity("P3207", 0xF5)), ReadFrameLines(memory)));
}

TEST(EndToEnd, AVerifiedWriteReadsTheRadioBackAndNamesEveryDifferingBlock)
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
        {"a failing memory cell at 0x0123",
         {"--bad-cell", "0123"},
         1,
         "program-cli write: verify: the block at 0x0120 differs from what was written\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RadioImage image = PatternImage(1, 2);
        const std::string log = dir.File("wire.log");
        const std::string saved = dir.File("saved.dat");
        std::vector<std::string> options = {"--no-pace", "--log", log, "--save", saved};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const CliRun run =
            RunCli(dir, {"write", "--verify", "--port", sim.Device(), SaveImageFile(dir, "image.dat", image)});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out.find("verified") != std::string::npos, c.status == 0) << run.out;
        sim.Stop();
        // Two sessions: the write, then a handshake and the read sequence.
        const auto lines = WireLines(log);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "> 02 50 52 4F 47 52 41 4D"), 2);
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("> 52", 0) == 0; }),
            102);
        if (c.status == 0) {
            EXPECT_TRUE(
                std::equal(image.begin(), image.begin() + ImageMap::kTransferEnd, LoadImageFile(saved).begin()));
        }
    }
}

TEST(EndToEnd, APulledCableIsSaidAfterTheMessageOfTheStage)
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

TEST(EndToEnd, APortThatCannotBeOpenedSays61453)
{
    Sim sim({"--no-pace"});
    SystemSerialPort holder; // another program holds the line
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

// Runs program-cli against a paced radio and presses Ctrl+C after delay.
CliRun Interrupt(const TempDir& dir, const std::vector<std::string>& args, std::chrono::milliseconds delay)
{
    std::chrono::steady_clock::duration sincePressed{};
    const CliRun run = RunCliInterrupted(dir, args, delay, sincePressed);
    // The transfer ends at the next frame, well within a second.
    EXPECT_LT(sincePressed, std::chrono::milliseconds(900));
    return run;
}

TEST(EndToEnd, CtrlCStopsAReadOrWriteWithStatus130AndTouchesNoFile)
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

} // namespace
