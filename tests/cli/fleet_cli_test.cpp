// program-cli fleet against a row of simulated radios: each radio written
// keeps its own block 0 and 0x180-0x32D and gets the file's channels and
// features; a radio of another model is skipped and left as it was.

#include "core/document/DataFile.h"
#include "core/link/FleetImage.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

RadioImage OwnRadio(int seed)
{
    RadioImage image = MakeNewImage();
    for (std::size_t i = 0; i < 0x10; ++i)
        image[i] = static_cast<std::uint8_t>(seed * 17 + i);
    for (std::size_t i = 0x10; i < 0x180; ++i)
        image[i] = static_cast<std::uint8_t>(seed * 5 + i);
    for (std::size_t i = 0x180; i < 0x32E; ++i)
        image[i] = static_cast<std::uint8_t>(seed * 13 + i * 3);
    image[ImageMap::kRadioType] = 0;
    image[ImageMap::kBandIndex] = 2;
    return image;
}

class FleetCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("fleet_cli_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "saved");
    }
    void TearDown() override
    {
        if (sim_ > 0) {
            kill(sim_, SIGTERM);
            waitpid(sim_, nullptr, 0);
        }
        fs::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Starts radio-sim with args and returns the device of its line.
    std::string StartSimulator(std::vector<std::string> args)
    {
        args.insert(args.begin(), RADIO_SIM_PATH);
        const std::string out = Path("sim.out");
        sim_ = fork();
        if (sim_ == 0) {
            std::freopen(out.c_str(), "w", stdout);
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            const std::string text = Slurp(out);
            if (text.find('\n') != std::string::npos)
                return text.substr(0, text.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

    int RunCli(const std::string& arguments, std::string& out, std::string& err)
    {
        const std::string command = "XDG_DATA_HOME='" + Path("data") + "' timeout -s KILL 120 '" PROGRAM_CLI_PATH "' " +
                                    arguments + " >'" + Path("cli.out") + "' 2>'" + Path("cli.err") + "'";
        const int raw = std::system(command.c_str());
        out = Slurp(Path("cli.out"));
        err = Slurp(Path("cli.err"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    fs::path dir_;
    pid_t sim_ = -1;
};

TEST_F(FleetCli, ThreeRadiosAndOneOfAnotherModel)
{
    RadioImage document = MakeNewImage();
    for (std::size_t i = 0x10; i < 0x180; ++i)
        document[i] = static_cast<std::uint8_t>(0xA0 + i % 7);
    document[ImageMap::kRadioType] = 0;
    document[ImageMap::kBandIndex] = 2;
    ASSERT_EQ(SaveDataFile(Path("doc.dat"), document), DataFileResult::Ok);
    const RadioImage radios[4] = {OwnRadio(1), OwnRadio(2), OwnRadio(3), OwnRadio(4)};
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(SaveDataFile(Path("r" + std::to_string(i + 1) + ".dat"), radios[i]), DataFileResult::Ok);

    // The third radio in the row is of another model.
    const std::string device =
        StartSimulator({"--no-pace", "--row", Path("r1.dat"), "--row", Path("r2.dat"), "--row", Path("r3.dat") + ",FF",
                        "--row", Path("r4.dat"), "--row-save", Path("saved"), "--stay", "1500", "--gap", "1200"});
    ASSERT_FALSE(device.empty());
    std::string out;
    std::string err;
    const int status = RunCli(
        "fleet '" + Path("doc.dat") + "' --port " + device + " --count 3 --log '" + Path("run.csv") + "'", out, err);
    EXPECT_EQ(status, 1) << err; // one radio was skipped
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 4u) << out << err;
    EXPECT_EQ(lines[0].rfind("radio 1: written and verified (P3207 F5), backup " + Path("data"), 0), 0u) << lines[0];
    EXPECT_EQ(lines[2].rfind("radio 3: skipped (P3207 FF): another radio model (P3207 FF, the first was P3207 F5), "
                             "backup ",
                             0),
              0u)
        << lines[2];
    EXPECT_EQ(lines[3].rfind("radio 4: written and verified (P3207 F5)", 0), 0u) << lines[3];

    // Each radio written holds exactly the merge of its own image and the file.
    for (const int n : {1, 2, 4}) {
        const RadioImage& own = radios[n - 1];
        ASSERT_EQ(SaveDataFile(Path("expected.dat"), MergeForRadio(own, document)), DataFileResult::Ok);
        EXPECT_EQ(Slurp(Path("saved/radio-" + std::to_string(n) + ".dat")), Slurp(Path("expected.dat")))
            << "radio " << n;
    }
    EXPECT_FALSE(fs::exists(Path("saved/radio-3.dat"))); // never written

    // The log names every radio, and each backup holds what its radio held.
    const std::vector<std::string> log = Lines(Slurp(Path("run.csv")));
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "Radio,Time,Port,Identity,Model,Result,Detail,Backup");
    const char* results[] = {",written,verified,", ",written,verified,", ",skipped,", ",written,verified,"};
    for (int n = 1; n <= 4; ++n) {
        const std::string& row = log[static_cast<std::size_t>(n)];
        EXPECT_EQ(row.rfind(std::to_string(n) + ",", 0), 0u) << row;
        EXPECT_NE(row.find("," + device + ",P3207," + (n == 3 ? "FF" : "F5") + ","), std::string::npos) << row;
        EXPECT_NE(row.find(results[n - 1]), std::string::npos) << row;
        const std::string backup = row.substr(row.rfind(',') + 1);
        RadioImage copy{};
        ASSERT_EQ(LoadDataFile(backup, copy), DataFileResult::Ok) << row;
        EXPECT_TRUE(std::equal(copy.begin(), copy.begin() + 0x330, radios[n - 1].begin())) << row;
    }
    // Each radio left once, written at most once.
    const std::string report = Slurp(Path("sim.out"));
    EXPECT_NE(report.find("radio 1: appeared"), std::string::npos) << report;
    EXPECT_EQ(report.find("writes 2"), std::string::npos) << report;
}

TEST_F(FleetCli, WrongUsage)
{
    std::string out;
    std::string err;
    for (const char* arguments : {"fleet --port /dev/null", "fleet a.dat", "fleet a.dat --port X --count 0",
                                  "fleet a.dat --port X --retries many", "fleet a.dat b.dat --port X"})
        EXPECT_EQ(RunCli(arguments, out, err), 2) << arguments;
}

} // namespace
#endif
