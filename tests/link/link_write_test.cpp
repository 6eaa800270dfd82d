// Writes through program-cli's write verb to a radio on a simulated line.

#include "LinkFixtures.h"

using namespace linktest;

namespace {

constexpr const char* kProgramInterrupt = "Program Interrupt, Please reset the radio and try again";

using RadioWrite = SimulatedLineTest;

TEST_P(RadioWrite, MovesOffsets000To32FByteExactly)
{
    TempDir dir;
    const RadioImage image = PatternImage(0x42, 0x99);
    const RadioImage radio = PatternImage(0x07, 0x5A);
    SimulatedLink link(Line(Holding(radio)));

    const CliRun run = RunCliOn(link, dir, {"write", "--port", link.Device(), SaveImageFile(dir, "image.dat", image)});
    EXPECT_EQ(run.status, 0) << run.err;

    RadioImage expected = radio; // 0x330-0x3FF never travel
    std::copy(image.begin(), image.begin() + ImageMap::kTransferEnd, expected.begin());
    EXPECT_EQ(link.Memory(), expected);
    EXPECT_EQ(link.Lines(), Concat(HandshakeLines(Identity("P3207", 0xF5)), WriteFrameLines(image)));
}

TEST_P(RadioWrite, StopsAtTheFirstFrameWithoutAcknowledge)
{
    for (const std::uint16_t address : {0x0100, 0x0000}) {
        SCOPED_TRACE(address);
        TempDir dir;
        const RadioImage image = PatternImage(0x42, 0x99);
        const RadioImage radio = PatternImage(0x07, 0x5A);
        RadioSimulatorOptions options = Holding(radio);
        options.noAckAt = address;
        SimulatedLink link(Line(options));

        const CliRun run =
            RunCliOn(link, dir, {"write", "--port", link.Device(), SaveImageFile(dir, "image.dat", image)});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(kProgramInterrupt), std::string::npos) << run.err;

        // Frames up to the refused one were sent, the refused one last.
        auto expectedLines = Concat(HandshakeLines(Identity("P3207", 0xF5)), WriteFrameLines(image, address + 8u));
        expectedLines.pop_back();
        EXPECT_EQ(link.Lines(), expectedLines);
        RadioImage expected = radio;
        std::copy(image.begin(), image.begin() + address, expected.begin());
        EXPECT_EQ(link.Memory(), expected);
    }
}

INSTANTIATE_CABLES(RadioWrite);

} // namespace
