// Writes through program-cli to a radio-sim on a pseudo-terminal.

#include "LinkHarness.h"

using namespace linktest;

namespace {

constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";

TEST(RadioWrite, MovesOffsets000To32FByteExactly)
{
    TempDir dir;
    const RadioImage image = PatternImage(0x42, 0x99);
    const RadioImage radio = PatternImage(0x07, 0x5A);
    const std::string log = dir.File("wire.log");
    const std::string saved = dir.File("saved.dat");
    Sim sim({"--no-pace", "--once", "--log", log, "--image", SaveImageFile(dir, "radio.dat", radio), "--save", saved});

    const CliRun run = RunCli(dir, {"write", "--port", sim.Device(), SaveImageFile(dir, "image.dat", image)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sim.WaitForExit(), 0);

    RadioImage expected = radio;  // 0x330-0x3FF never travel
    std::copy(image.begin(), image.begin() + ImageMap::kTransferEnd, expected.begin());
    EXPECT_EQ(LoadImageFile(saved), expected);
    EXPECT_EQ(WireLines(log), Concat(HandshakeLines(Identity("P3207", 0xF5)), WriteFrameLines(image)));
}

TEST(RadioWrite, StopsAtTheFirstFrameWithoutAcknowledge)
{
    for (const std::size_t address : {0x0100u, 0x0000u}) {
        SCOPED_TRACE(address);
        TempDir dir;
        const RadioImage image = PatternImage(0x42, 0x99);
        const RadioImage radio = PatternImage(0x07, 0x5A);
        const std::string log = dir.File("wire.log");
        const std::string saved = dir.File("saved.dat");
        char at[32];
        std::snprintf(at, sizeof at, "%04zX", address);
        Sim sim({"--no-pace", "--once", "--log", log, "--image", SaveImageFile(dir, "radio.dat", radio), "--save",
                 saved, "--no-ack-at", at});

        const CliRun run = RunCli(dir, {"write", "--port", sim.Device(), SaveImageFile(dir, "image.dat", image)});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kProgramInterrupt), std::string::npos) << run.err;
        EXPECT_EQ(sim.WaitForExit(), 0);

        // Frames up to the refused one were sent, the refused one last.
        auto expectedLines = Concat(HandshakeLines(Identity("P3207", 0xF5)), WriteFrameLines(image, address + 8));
        expectedLines.pop_back();
        EXPECT_EQ(WireLines(log), expectedLines);
        if (address > 0) {
            RadioImage expected = radio;
            std::copy(image.begin(), image.begin() + static_cast<long>(address), expected.begin());
            EXPECT_EQ(LoadImageFile(saved), expected);
        }
    }
}

}  // namespace
