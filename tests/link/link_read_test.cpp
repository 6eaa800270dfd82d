// Reads through program-cli from a radio-sim on a pseudo-terminal.

#include "LinkHarness.h"

using namespace linktest;

namespace {

struct ReadCase
{
    const char* name;
    std::vector<std::string> simOptions;
    std::vector<std::uint8_t> identity;  // as the radio sends it
    int deviceMode;
};

TEST(RadioRead, MovesTheRadioMemoryAndSetsTheDeviceModeFromTheModel)
{
    const ReadCase cases[] = {
        {"model F5", {"--model", "F5"}, Identity("P3207", 0xF5), 2},
        {"model FF", {"--model", "FF"}, Identity("P3207", 0xFF), 1},
        {"other model", {"--model", "A7"}, Identity("P3207", 0xA7), 0},
        {"P2207 is accepted", {"--ident", "P2207", "--model", "FF"}, Identity("P2207", 0xFF), 1},
        {"identity without byte 7", {"--ident-length", "7"}, {'P', '3', '2', '0', '7', 0x00, 0x00}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RadioImage memory = PatternImage(0x11, 0xAA);
        const RadioImage base = PatternImage(0x5C, 0x3C);
        const std::string log = dir.File("wire.log");
        std::vector<std::string> options = {"--no-pace", "--once", "--log", log, "--image",
                                            SaveImageFile(dir, "radio.dat", memory)};
        options.insert(options.end(), c.simOptions.begin(), c.simOptions.end());
        Sim sim(options);
        const std::string out = dir.File("out.dat");

        const CliRun run = RunCli(dir, {"read", "--port", sim.Device(), "-o", out, "--base",
                                        SaveImageFile(dir, "base.dat", base)});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out.ends_with("device mode: " + std::to_string(c.deviceMode) + "\n")) << run.out;
        EXPECT_EQ(sim.WaitForExit(), 0);

        RadioImage expected = base;
        std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
        EXPECT_EQ(LoadImageFile(out), expected);
        // Every frame, byte for byte, and nothing beyond 0x32F.
        EXPECT_EQ(WireLines(log), Concat(HandshakeLines(c.identity), ReadFrameLines(memory)));
    }
}

TEST(RadioRead, WithoutBaseStartsFromANewImage)
{
    TempDir dir;
    const RadioImage memory = PatternImage(0x23, 0x00);
    Sim sim({"--no-pace", "--once", "--image", SaveImageFile(dir, "radio.dat", memory)});
    const std::string out = dir.File("out.dat");
    const CliRun run = RunCli(dir, {"read", "--port", sim.Device(), "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    RadioImage expected = MakeNewImage();
    std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
    EXPECT_EQ(LoadImageFile(out), expected);
}

}  // namespace
