// Reads through program-cli's read verb from a radio on a simulated line.

#include "LinkFixtures.h"

#include <filesystem>
#include <fstream>

using namespace linktest;

namespace {

using RadioRead = SimulatedLineTest;

TEST_P(RadioRead, MovesTheRadioMemoryAndSetsTheDeviceModeFromTheModel)
{
    struct Case
    {
        const char* name;
        const char* ident;
        std::uint8_t model;
        std::size_t identityLength;
        std::vector<std::uint8_t> identity; // as the radio sends it
        int deviceMode;
    };
    const Case cases[] = {
        {"model F5", "P3207", 0xF5, 8, Identity("P3207", 0xF5), 2},
        {"model FF", "P3207", 0xFF, 8, Identity("P3207", 0xFF), 1},
        {"other model", "P3207", 0xA7, 8, Identity("P3207", 0xA7), 0},
        {"P2207 is accepted", "P2207", 0xFF, 8, Identity("P2207", 0xFF), 1},
        {"identity without byte 7", "P3207", 0xF5, 7, {'P', '3', '2', '0', '7', 0x00, 0x00}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const RadioImage memory = PatternImage(0x11, 0xAA);
        const RadioImage base = PatternImage(0x5C, 0x3C);
        RadioSimulatorOptions radio = Holding(memory);
        radio.identity = c.ident;
        radio.model = c.model;
        radio.identityLength = c.identityLength;
        SimulatedLink link(Line(radio));
        const std::string out = dir.File("out.dat");

        const CliRun run = RunCliOn(
            link, dir, {"read", "--port", link.Device(), "-o", out, "--base", SaveImageFile(dir, "base.dat", base)});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out.ends_with("device mode: " + std::to_string(c.deviceMode) + "\n")) << run.out;

        RadioImage expected = base;
        std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
        EXPECT_EQ(LoadImageFile(out), expected);
        // Every frame, byte for byte, and nothing beyond 0x32F.
        EXPECT_EQ(link.Lines(), Concat(HandshakeLines(c.identity), ReadFrameLines(memory)));
    }
}

TEST_P(RadioRead, WithoutBaseStartsFromANewImage)
{
    TempDir dir;
    const RadioImage memory = PatternImage(0x23, 0x00);
    SimulatedLink link(Line(Holding(memory)));
    const std::string out = dir.File("out.dat");
    const CliRun run = RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    RadioImage expected = MakeNewImage();
    std::copy(memory.begin(), memory.begin() + ImageMap::kTransferEnd, expected.begin());
    EXPECT_EQ(LoadImageFile(out), expected);
}

TEST_P(RadioRead, EveryCompleteReadLeavesACopyAndAFailedOneNone)
{
    TempDir dir;
    const RadioImage memory = PatternImage(0x41, 0x00);
    {
        RadioSimulatorOptions broken = Holding(memory);
        broken.shortReplyAt = 0x100;
        SimulatedLink link(Line(broken));
        const CliRun run = RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", dir.File("broken.dat")});
        EXPECT_NE(run.status, 0);
        EXPECT_FALSE(std::filesystem::exists(dir.ReadCopies())) << "a failed read leaves no copy";
    }
    for (int n = 1; n <= 2; ++n) {
        SimulatedLink link(Line(Holding(memory)));
        const std::string out = dir.File("out" + std::to_string(n) + ".dat");
        const CliRun run = RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::vector<std::filesystem::path> copies;
        for (const auto& entry : std::filesystem::directory_iterator(dir.ReadCopies()))
            copies.push_back(entry.path());
        std::sort(copies.begin(), copies.end());
        ASSERT_EQ(copies.size(), static_cast<std::size_t>(n));
        // The newest copy is the file just read, and the output says where it is.
        EXPECT_EQ(ReadText(copies.back().string()), ReadText(out));
        EXPECT_NE(run.out.find("copy kept in " + copies.back().string() + "\n"), std::string::npos) << run.out;
    }
}

TEST_P(RadioRead, ACopyThatCannotBeKeptIsOneLineOnStderrAndTheReadSucceeds)
{
    TempDir dir;
    std::ofstream(dir.File("data")) << "a file where the data folder should be";
    const RadioImage memory = PatternImage(0x42, 0x00);
    SimulatedLink link(Line(Holding(memory)));
    const std::string out = dir.File("out.dat");
    const CliRun run = RunCliOn(link, dir, {"read", "--port", link.Device(), "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(run.err, "\n"), 1u) << run.err;
    EXPECT_TRUE(run.err.starts_with("program-cli read: the copy of this read could not be kept: ")) << run.err;
    EXPECT_NE(run.err.find(dir.File("data")), std::string::npos) << run.err;
    EXPECT_EQ(LoadImageFile(out)[0x100], memory[0x100]);
    EXPECT_TRUE(run.out.ends_with("device mode: 2\n")) << run.out;
}

INSTANTIATE_CABLES(RadioRead);

} // namespace
