// program-cli diff and ports, end to end.

#include "LinkFixtures.h"

using namespace linktest;

namespace {

TEST(CliDiff, ExitStatusSaysWhetherTheImagesDiffer)
{
    TempDir dir;
    RadioImage a = MakeNewImage();
    a[0x3F0] = 0x20;
    RadioImage b = a;
    b[ImageMap::kRadioType] = static_cast<std::uint8_t>(a[ImageMap::kRadioType] + 1);
    b[0x3F0] = 0x2F;
    const std::string fileA = SaveImageFile(dir, "a.dat", a);
    const std::string fileB = SaveImageFile(dir, "b.dat", b);
    char typeLine[48];
    std::snprintf(typeLine, sizeof typeLine, "Radio Type Index: %d -> %d\n", a[ImageMap::kRadioType],
                  b[ImageMap::kRadioType]);
    char typeByte[32];
    std::snprintf(typeByte, sizeof typeByte, "0x032E: %02X -> %02X\n", a[ImageMap::kRadioType],
                  b[ImageMap::kRadioType]);

    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"diff", fileA, fileA}, 0, ""},
        {{"diff", fileA, fileB}, 1, std::string(typeLine) + "1 other byte differs\n"},
        {{"diff", fileA, fileB, "--bytes"},
         1,
         std::string(typeLine) + "1 other byte differs\n" + typeByte + "0x03F0: 20 -> 2F\n"},
        {{"diff", fileA}, 2, ""},
        {{"diff", fileA, fileB, "--frobnicate"}, 2, ""},
        {{"diff", fileA, dir.File("missing.dat")}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.size() > 2 ? c.args.back() : c.args[1]);
        const CliRun run = RunCli(dir, c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST(CliPorts, ListsNumberedPortsOneALine)
{
    TempDir dir;
    const CliRun run = RunCli(dir, {"ports"});
    EXPECT_EQ(run.status, 0);
    std::istringstream lines(run.out);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line == "no serial ports")
            break;
#ifdef _WIN32
        // The number of COMn is n; the list goes up by number.
        const int listed = std::atoi(line.c_str());
        EXPECT_GT(listed, number) << line;
        number = listed;
        EXPECT_EQ(line.rfind(std::to_string(number) + "  COM" + std::to_string(number), 0), 0u) << line;
#else
        EXPECT_EQ(line.rfind(std::to_string(++number) + "  /dev/tty", 0), 0u) << line;
#endif
    }
    EXPECT_EQ(RunCli(dir, {"ports", "extra"}).status, 2);
}

} // namespace
