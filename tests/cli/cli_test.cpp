// program-cli end to end: the real executable on temporary files.

#include "core/channels/ChannelCodec.h"
#include "core/document/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Quote(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Cli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("cli_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    RunResult Run(const std::vector<std::string>& args) const { return RunWithin(0, args); }

    // With seconds > 0 the program is killed (status 137) when it takes longer.
    RunResult RunWithin(int seconds, const std::vector<std::string>& args) const
    {
        std::string command = seconds > 0 ? "timeout -s KILL " + std::to_string(seconds) + " " : "";
        command += Quote(PROGRAM_CLI_PATH);
        for (const auto& a : args)
            command += " " + Quote(a);
        command += " >" + Quote(Path(".out")) + " 2>" + Quote(Path(".err"));
        const int raw = std::system(command.c_str());
        RunResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Slurp(Path(".out"));
        r.err = Slurp(Path(".err"));
        return r;
    }

    void WriteText(const std::string& name, const std::string& text) const
    {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    void WriteImage(const std::string& name, const RadioImage& image) const
    {
        ASSERT_EQ(SaveDataFile(Path(name), image), DataFileResult::Ok);
    }

    fs::path dir;
};

// An image with a mix of channels: CTCSS, DCS both polarities, odd bits in
// bytes 12-15 that the grid never shows, and a gap.
RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    EncodeFrequency(image, 1, FrequencySide::Receive, "146.525");
    EncodeFrequency(image, 1, FrequencySide::Transmit, "146.525");
    EncodeTone(image, 1, ToneSide::Decode, "67.0");
    EncodeTone(image, 1, ToneSide::Encode, "None");
    EncodeFrequency(image, 2, FrequencySide::Receive, "145.00625");
    EncodeFrequency(image, 2, FrequencySide::Transmit, "144.4");
    EncodeTone(image, 2, ToneSide::Decode, "D023N");
    EncodeTone(image, 2, ToneSide::Encode, "D754I");
    EncodeBandwidth(image, 2, "Narrow");
    EncodePower(image, 2, "Low");
    EncodeBusyLock(image, 2, "Carrier");
    EncodeScan(image, 2, "Yes");
    EncodeFrequency(image, 16, FrequencySide::Receive, "470");
    EncodeFrequency(image, 16, FrequencySide::Transmit, "");
    image[ImageMap::ChannelOffset(16) + 14] = 0x5A;
    return image;
}

const char* kEnglishHeader = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n";

TEST_F(Cli, NewWritesExactlyTheDefaults)
{
    const RunResult r = Run({"new", "-o", Path("new.dat")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = Slurp(Path("new.dat"));
    const auto expected = SerializeDataFile(MakeNewImage());
    EXPECT_EQ(bytes, std::string(expected.begin(), expected.end()));
}

TEST_F(Cli, ExportOfNewImage)
{
    Run({"new", "-o", Path("new.dat")});
    const RunResult r = Run({"export", Path("new.dat")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected = kEnglishHeader;
    for (int ch = 1; ch <= 16; ++ch)
        expected += std::to_string(ch) + ",,,,,,,,\n";
    EXPECT_EQ(r.out, expected);
}

TEST_F(Cli, ExportShowsEveryColumn)
{
    WriteImage("s.dat", SampleImage());
    RunResult r = Run({"export", Path("s.dat")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string header, ch1, ch2;
    std::getline(lines, header);
    std::getline(lines, ch1);
    std::getline(lines, ch2);
    EXPECT_EQ(header + "\n", kEnglishHeader);
    EXPECT_EQ(ch1, "1,146.52500,146.52500,67.0,None,Wide,Yes,QT/DQT,High");
    EXPECT_EQ(ch2, "2,145.00625,144.40000,D023N,D754I,Narrow,Yes,Carrier,Low");

    r = Run({"export", Path("s.dat"), "--lang", "zh", "-o", Path("zh.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string zh = Slurp(Path("zh.csv"));
    EXPECT_EQ(zh.substr(0, zh.find('\n')), "信道,接收频率,发射频率,QT/DQT解码,QT/DQT编码,宽/窄,扫描,繁忙锁定,功率");
    EXPECT_NE(zh.find("\n2,145.00625,144.40000,D023N,D754I,窄,是,载波,低\n"), std::string::npos);
}

TEST_F(Cli, ExportImportExportIsStable)
{
    WriteImage("s.dat", SampleImage());
    for (const std::string lang : {"en", "zh"}) {
        const RunResult first = Run({"export", Path("s.dat"), "--lang", lang, "-o", Path("a.csv")});
        ASSERT_EQ(first.status, 0) << first.err;
        const RunResult imported =
            Run({"import", Path("a.csv"), "--base", Path("s.dat"), "-o", Path("b.dat"), "--no-band-check"});
        ASSERT_EQ(imported.status, 0) << imported.err;
        const RunResult second = Run({"export", Path("b.dat"), "--lang", lang});
        EXPECT_EQ(second.out, Slurp(Path("a.csv"))) << lang;
        // Unchanged rows keep the base's bytes, hidden bits included.
        EXPECT_TRUE(Slurp(Path("b.dat")) == Slurp(Path("s.dat"))) << lang;
    }
}

TEST_F(Cli, InterchangeLayoutOutAndBackIn)
{
    RadioImage image = SampleImage();
    EncodeFrequency(image, 3, FrequencySide::Transmit, "146.52"); // a transmit frequency only
    WriteImage("s.dat", image);
    const RunResult r = Run({"export", Path("s.dat"), "--format", "interchange", "-o", Path("i.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("note: channel 3 has a transmit but no receive frequency"), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(Path("i.csv")),
              "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
              "CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n"
              "1,,146.525000,,0.000000,Cross,88.5,67.0,023,NN,023,->Tone,FM,5.00,,High,,,,,\n"
              "2,,145.006250,-,0.606250,Cross,88.5,88.5,754,RN,023,DTCS->DTCS,NFM,6.25,,Low,,,,,\n"
              "3,,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n"
              "16,,470.000000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,\n");

    // Channels 1, 2 and 16 say exactly what they hold and keep every byte;
    // channel 3 comes back with both sides (and is encoded anew, busy lock
    // as the grid writes it).
    const RunResult in =
        Run({"import", Path("i.csv"), "--base", Path("s.dat"), "-o", Path("b.dat"), "--no-band-check"});
    ASSERT_EQ(in.status, 0) << in.err;
    RadioImage back{};
    ASSERT_EQ(LoadDataFile(Path("b.dat"), back), DataFileResult::Ok);
    EncodeFrequency(image, 3, FrequencySide::Receive, "146.52");
    EncodeBusyLock(image, 3, "QT/DQT");
    EXPECT_EQ(back, image);

    EXPECT_EQ(Run({"export", Path("s.dat"), "--format", "csv"}).status, 2);
    const RunResult bad = Run({"import", Path("i.csv"), "--band", "400-470", "-o", Path("c.dat")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("2:3: frequency 146.52500 is outside the band\n"), std::string::npos) << bad.err;
    EXPECT_FALSE(fs::exists(Path("c.dat")));
}

TEST_F(Cli, ImportIntoNewImageRebuildsChannels)
{
    WriteText("in.csv", std::string("Power,CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock\r\n") +
                            "Low,5,136,136.0125,D023N,71.9,Narrow,Yes,Off\r\n" +
                            "高,3,174.00000,,无,None,宽,否,载波\r\n");
    const RunResult r = Run({"import", Path("in.csv"), "-o", Path("out.dat"), "--band", "136-174"});
    ASSERT_EQ(r.status, 0) << r.err;
    RadioImage image{};
    ASSERT_EQ(LoadDataFile(Path("out.dat"), image), DataFileResult::Ok);
    const RadioImage fresh = MakeNewImage();
    const auto c5 = ImageMap::ChannelOffset(5);
    EXPECT_EQ(std::vector<int>(image.begin() + c5, image.begin() + c5 + 14),
              (std::vector<int>{0x00, 0x00, 0x60, 0x13, 0x50, 0x12, 0x60, 0x13, 0x13, 0x28, 0xCF, 0x02, 0xFF & ~0x18,
                                0xFF & ~0x30}));
    EXPECT_EQ(DecodeFrequency(image, 3, FrequencySide::Transmit), "");
    EXPECT_EQ(DecodeBusyLock(image, 3, false), "Carrier");
    EXPECT_EQ(DecodeScan(image, 5, false), "Yes");
    EXPECT_EQ(DecodeScan(image, 3, false), "No");
    // Unlisted channels and everything outside the channel records stay as
    // in a new image.
    for (std::size_t i = 0; i < image.size(); ++i) {
        const bool inChannel3or5 = (i >= ImageMap::ChannelOffset(3) && i < ImageMap::ChannelOffset(4)) ||
                                   (i >= ImageMap::ChannelOffset(5) && i < ImageMap::ChannelOffset(6));
        if (!inChannel3or5 && i != ImageMap::kScanBitmap) {
            EXPECT_EQ(image[i], fresh[i]) << "offset " << i;
        }
    }
    EXPECT_EQ(image[ImageMap::kScanBitmap], 0xFF & ~0x04);
}

TEST_F(Cli, ImportReportsEveryBadCellAndWritesNothing)
{
    WriteText("bad.csv", std::string(kEnglishHeader) + "1,146.5,146.5,67.0,None,Wide,Yes,Off,High\n" // fine
                                                       "17,146.5,146.5,67.0,None,Wide,Yes,Off,High\n"
                                                       "1,146.5,146.5,67.0,None,Wide,Yes,Off,High\n"
                                                       "2,145.0025,abc,67.1x,D024N,wide,Maybe,On,Medium\n"
                                                       "3,180,146.1234567,1.0,D023X,Wide,Yes,Off,High\n"
                                                       "4,146.5,146.5\n"
                                                       "5,\"146.5\"x,146.5,67.0,None,Wide,Yes,Off,High\n");
    const std::string before = "previous contents";
    WriteText("out.dat", before);
    const RunResult r = Run({"import", Path("bad.csv"), "-o", Path("out.dat"), "--band", "136-174"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Slurp(Path("out.dat")), before);
    const std::vector<std::string> expected = {"3:1:", "4:1:", "5:2:", "5:3:", "5:4:", "5:5:", "5:6:", "5:7:",
                                               "5:8:", "5:9:", "6:2:", "6:3:", "6:4:", "6:5:", "7:4:", "8:2:"};
    std::istringstream lines(r.err);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line.substr(0, line.find(':', line.find(':') + 1) + 1));
    EXPECT_EQ(got, expected) << r.err;
}

TEST_F(Cli, ImportHeadingProblems)
{
    WriteText("h.csv", "CH,Rx Frequency,Colour,Rx Frequency\n1,146.5,red,146.5\n");
    RunResult r = Run({"import", Path("h.csv"), "-o", Path("o.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("1:3: unknown column heading \"Colour\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1:4: column \"Rx Frequency\" given twice"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("o.dat")));

    WriteText("e.csv", "");
    r = Run({"import", Path("e.csv"), "-o", Path("o.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(Path("o.dat")));
}

TEST_F(Cli, MissingColumnsKeepTheBase)
{
    WriteImage("s.dat", SampleImage());
    WriteText("in.csv", "CH,Tx Frequency\n2,145.5\n");
    const RunResult r =
        Run({"import", Path("in.csv"), "--base", Path("s.dat"), "-o", Path("o.dat"), "--no-band-check"});
    ASSERT_EQ(r.status, 0) << r.err;
    RadioImage image{};
    ASSERT_EQ(LoadDataFile(Path("o.dat"), image), DataFileResult::Ok);
    RadioImage expected = SampleImage();
    EncodeFrequency(expected, 2, FrequencySide::Transmit, "145.5");
    EXPECT_EQ(image, expected);
}

struct BadFileCase
{
    const char* name;
    std::string bytes;
    const char* message; // expected on stderr
};

class CliBadFile : public Cli, public ::testing::WithParamInterface<BadFileCase>
{};

TEST_P(CliBadFile, FailsWithMessageAndNoOutput)
{
    const BadFileCase& c = GetParam();
    WriteText("f.dat", c.bytes);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", Path("f.dat")},
          {"show", Path("f.dat")},
          {"export", Path("f.dat"), "-o", Path("o.csv")},
          {"import", Path("in.csv"), "--base", Path("f.dat"), "-o", Path("o.dat")}}) {
        WriteText("in.csv", kEnglishHeader);
        WriteText("o.csv", "old");
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << args[0] << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(Slurp(Path("o.csv")), "old");
        EXPECT_FALSE(fs::exists(Path("o.dat")));
    }
}

std::string WithMagic(const char* magic, std::size_t size)
{
    std::string bytes(size, '\xFF');
    bytes.replace(0, std::min<std::size_t>(4, size), std::string(magic).substr(0, std::min<std::size_t>(4, size)));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, CliBadFile,
                         ::testing::Values(BadFileCase{"WrongMagic", WithMagic("T594", 1040), "Data Format Error"},
                                           BadFileCase{"Short", WithMagic("T593", 1000), "not a complete data file"},
                                           BadFileCase{"Empty", "", "not a complete data file"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(Cli, OversizeFileLoads)
{
    std::vector<std::uint8_t> bytes = SerializeDataFile(SampleImage());
    bytes.resize(4096, 0x77);
    WriteText("big.dat", std::string(bytes.begin(), bytes.end()));
    const RunResult r = Run({"export", Path("big.dat")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("1,146.52500"), std::string::npos);
}

// Inputs that are not files are refused at once: every command runs under a
// time limit, so one that blocked would fail rather than hang the suite.
TEST_F(Cli, InputsThatAreNotFilesAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(Path("fifo.csv").c_str(), 0644), 0);
    WriteText("in.csv", kEnglishHeader);
    const std::vector<std::vector<std::string>> commands = {
        {"show", Path("fifo.dat")},
        {"export", Path("fifo.dat")},
        {"print", Path("fifo.dat"), "-o", Path("o.pdf")},
        {"import", Path("fifo.csv"), "-o", Path("o.dat")},
        {"import", Path("in.csv"), "--base", Path("fifo.dat"), "-o", Path("o.dat")},
        {"read", "--port", Path("no-port"), "--base", Path("fifo.dat"), "-o", Path("o.dat")},
        {"show", dir.string()},
    };
    for (const auto& args : commands) {
        const RunResult r = RunWithin(10, args);
        EXPECT_EQ(r.status, 1) << args[0] << " " << args[1] << (r.status == 137 ? ": blocked" : "");
        EXPECT_NE(r.err.find(": not a regular file"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(Path("o.dat")));
    }
}

TEST_F(Cli, AnOutputIsNeverOneOfTheInputs)
{
    WriteImage("same.dat", SampleImage());
    WriteText("list.csv", kEnglishHeader);
    fs::create_symlink("same.dat", Path("link.dat"));
    const std::string data = Slurp(Path("same.dat"));
    struct Case
    {
        std::vector<std::string> args;
        std::string output;
    };
    const Case cases[] = {
        {{"export", Path("same.dat"), "-o", Path("same.dat")}, "same.dat"},
        {{"export", Path("same.dat"), "-o", Path("link.dat")}, "link.dat"},
        {{"print", Path("link.dat"), "-o", Path("same.dat")}, "same.dat"},
        {{"import", Path("list.csv"), "-o", Path("list.csv")}, "list.csv"},
        {{"import", Path("list.csv"), "--base", Path("same.dat"), "-o", Path("link.dat")}, "link.dat"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 1) << c.args[0] << " -o " << c.output;
        EXPECT_NE(r.err.find(Path(c.output) + ": the same file as the input"), std::string::npos) << r.err;
        EXPECT_EQ(Slurp(Path("same.dat")), data);
        EXPECT_EQ(Slurp(Path("list.csv")), kEnglishHeader);
        EXPECT_TRUE(fs::is_symlink(Path("link.dat")));
    }
}

TEST_F(Cli, ImportListsAtMostAHundredErrors)
{
    std::string csv = kEnglishHeader;
    for (int i = 0; i < 130; ++i)
        csv += "1,x\x1b[2J\n";
    WriteText("bad.csv", csv);
    const RunResult r = Run({"import", Path("bad.csv"), "-o", Path("o.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 101) << r.err;
    EXPECT_NE(r.err.find("\u2026 and "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("o.dat")));
}

TEST_F(Cli, MissingFileFails)
{
    const RunResult r = Run({"show", Path("nope.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("nope.dat"), std::string::npos);
}

TEST_F(Cli, ShowListsFeaturesAndProgrammedChannels)
{
    WriteImage("s.dat", SampleImage());
    const RunResult r = Run({"show", Path("s.dat")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Time Out Time:"), std::string::npos);
    EXPECT_NE(r.out.find("600s"), std::string::npos);
    EXPECT_NE(r.out.find("146.52500"), std::string::npos);
    EXPECT_NE(r.out.find("470.00000"), std::string::npos);
    // Channel 3 is empty and is not listed.
    EXPECT_EQ(r.out.find("\n   3 "), std::string::npos) << r.out;
    const RunResult zh = Run({"show", Path("s.dat"), "--lang", "zh"});
    EXPECT_NE(zh.out.find("超时定时器:"), std::string::npos);
}

#ifdef PRINT_HELPER_PATH
constexpr bool kPrintHelperBuilt = true;
#else
constexpr bool kPrintHelperBuilt = false;
#endif

// Twelve channels on rows 1..12, so the listing has three pages: the
// options page, channels 1..8 and channels 9..12.
RadioImage TwelveChannels()
{
    RadioImage image = MakeNewImage();
    for (int ch = 1; ch <= 12; ++ch) {
        EncodeFrequency(image, ch, FrequencySide::Receive, std::to_string(400 + ch) + ".125");
        EncodeFrequency(image, ch, FrequencySide::Transmit, std::to_string(400 + ch) + ".5");
        EncodeTone(image, ch, ToneSide::Decode, "D023N");
    }
    image[ImageMap::kTimeOutTimer] = 4;
    return image;
}

// The text of a PDF, page by page (pages end in a form feed); empty when
// pdftotext is not installed.
std::string PdfText(const std::string& pdf)
{
    const std::string text = pdf + ".txt";
    if (std::system(("pdftotext -enc UTF-8 " + Quote(pdf) + " " + Quote(text) + " 2>/dev/null").c_str()) != 0)
        return {};
    return Slurp(text);
}

TEST_F(Cli, PrintWritesTheListingAsPdf)
{
    if (!kPrintHelperBuilt)
        GTEST_SKIP() << "built without the desktop program: no print helper";
    if (std::system("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    WriteImage("twelve.dat", TwelveChannels());
    WriteText("Program.ini", "[Setup]\nLanguage=English\n[English]\nCopyrights Owner=Test Owner Ltd\n"
                             "[chinese]\ncopyrights owner=测试无线电\n");
    struct Case
    {
        const char* lang;
        std::vector<std::string> texts;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {"en",
         {"Option", "Function", "Time Out Time:", "60s", "Channel 12:", "Transceive Frequency:", "401.12500",
          "412.50000", "D023N", "Test Owner Ltd", "Page 1 of 3", "Page 3 of 3"},
         {"Channel 13:", "可选功能"}},
        {"zh",
         {"可选功能", "超时定时器:", "信道12:", "接收频率:", "QT/DQT解码:", "宽/窄:", "412.50000", "测试无线电",
          "Page 1 of 3", "Page 3 of 3"},
         {"Option", "Test Owner Ltd"}},
    };
    for (const Case& c : cases) {
        const std::string pdf = Path(std::string("listing-") + c.lang + ".pdf");
        const RunResult r = Run(
            {"print", Path("twelve.dat"), "-o", pdf, "--lang", c.lang, "--ini", Path("Program.ini"), "--mode", "0"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "");
        const std::string text = PdfText(pdf);
        for (const auto& expected : c.texts)
            EXPECT_NE(text.find(expected), std::string::npos) << c.lang << ": " << expected << "\n" << text;
        for (const auto& unexpected : c.absent)
            EXPECT_EQ(text.find(unexpected), std::string::npos) << c.lang << ": " << unexpected;
        // Three pages; channel 9 opens the third.
        ASSERT_EQ(std::count(text.begin(), text.end(), '\f'), 3) << c.lang;
        const std::string third = text.substr(text.find('\f', text.find('\f') + 1));
        EXPECT_NE(third.find(c.lang == std::string("en") ? "Channel 9:" : "信道9:"), std::string::npos) << third;
        EXPECT_EQ(third.find(c.lang == std::string("en") ? "Channel 8:" : "信道8:"), std::string::npos) << third;
    }
}

TEST_F(Cli, PrintListsWhatTheWindowListsInEachMode)
{
    if (!kPrintHelperBuilt)
        GTEST_SKIP() << "built without the desktop program: no print helper";
    if (std::system("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    // Channel 2 receives only, channel 3 transmits only, channel 4 both.
    RadioImage image = MakeNewImage();
    EncodeFrequency(image, 2, FrequencySide::Receive, "441.125");
    EncodeFrequency(image, 3, FrequencySide::Transmit, "442.25");
    EncodeFrequency(image, 4, FrequencySide::Receive, "443.5");
    EncodeFrequency(image, 4, FrequencySide::Transmit, "444.5");
    WriteImage("sides.dat", image);
    struct Case
    {
        std::vector<std::string> mode;
        std::vector<std::string> texts;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {{}, {"Channel 3:", "442.25000", "Channel 4:", "444.50000"}, {"Channel 2:", "443.50000"}},
        {{"--mode", "2"}, {"Channel 3:", "Channel 4:", "444.50000"}, {"Channel 2:", "441.12500"}},
        {{"--mode", "1"}, {"Channel 2:", "441.12500", "Channel 4:", "443.50000"}, {"Channel 3:", "444.50000"}},
        {{"--mode", "0"}, {"Channel 2:", "Channel 3:", "Channel 4:", "441.12500", "442.25000"}, {"Channel 5:"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"print", Path("sides.dat"), "-o", Path("sides.pdf")};
        args.insert(args.end(), c.mode.begin(), c.mode.end());
        const RunResult r = Run(args);
        const std::string what = c.mode.empty() ? "default" : c.mode[1];
        ASSERT_EQ(r.status, 0) << what << ": " << r.err;
        const std::string text = PdfText(Path("sides.pdf"));
        for (const auto& expected : c.texts)
            EXPECT_NE(text.find(expected), std::string::npos) << what << ": " << expected << "\n" << text;
        for (const auto& unexpected : c.absent)
            EXPECT_EQ(text.find(unexpected), std::string::npos) << what << ": " << unexpected;
    }
    EXPECT_EQ(Run({"print", Path("sides.dat"), "-o", Path("x.pdf"), "--mode", "3"}).status, 2);
}

TEST_F(Cli, ImportChecksTheBaseImagesBandByDefault)
{
    // Type 1 has two bands; type 2 one; a base whose type has no list can
    // only be imported with a band given or the check skipped.
    WriteText("Program.ini", "[Setup]\nType1=R1\nType2=R2\nField1=136-174|400 - 480MHz\nField2=144 - 148MHz\n");
    WriteText("2m.csv", std::string(kEnglishHeader) + "1,146.52,146.52,None,None,Wide,Yes,Off,High\n");
    WriteText("70cm.csv", std::string(kEnglishHeader) + "1,446.5,446.5,None,None,Wide,Yes,Off,High\n");
    auto base = [&](int type, int band) {
        RadioImage image = MakeNewImage();
        image[ImageMap::kRadioType] = static_cast<std::uint8_t>(type);
        image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(band);
        WriteImage("base.dat", image);
    };
    struct Case
    {
        const char* what;
        int type, band;
        const char* csv;
        std::vector<std::string> extra;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"2 m into 136-174", 0, 0, "2m.csv", {}, 0, ""},
        {"70 cm into 136-174", 0, 0, "70cm.csv", {}, 1, "2:2: frequency 446.50000 is outside the band"},
        {"2 m into 400-480", 0, 1, "2m.csv", {}, 1, "outside the band"},
        {"70 cm into 400-480", 0, 1, "70cm.csv", {}, 0, ""},
        {"band index past the list takes the last band", 0, 7, "70cm.csv", {}, 0, ""},
        {"second type", 1, 0, "70cm.csv", {}, 1, "outside the band"},
        {"check skipped", 0, 0, "70cm.csv", {"--no-band-check"}, 0, ""},
        {"band given", 0, 0, "70cm.csv", {"--band", "400-470"}, 0, ""},
        {"band and skip", 0, 0, "70cm.csv", {"--band", "400-470", "--no-band-check"}, 2, "exclude"},
        {"type not in Program.ini", 5, 0, "2m.csv", {}, 1, "radio type 5 and band 0 are not in"},
        {"no such Program.ini", 0, 0, "2m.csv", {"--ini", Path("none.ini")}, 1, "none.ini"},
    };
    for (const Case& c : cases) {
        base(c.type, c.band);
        fs::remove(Path("out.dat"));
        std::vector<std::string> args = {"import", Path(c.csv), "--base", Path("base.dat"), "-o", Path("out.dat")};
        if (std::find(c.extra.begin(), c.extra.end(), "--ini") == c.extra.end()) {
            args.push_back("--ini");
            args.push_back(Path("Program.ini"));
        }
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(fs::exists(Path("out.dat")), c.status == 0) << c.what;
    }
    // Without --ini the Program.ini beside the tool is read: the new image
    // is a QM-350 on 400-480 MHz.
    WriteImage("base.dat", MakeNewImage());
    EXPECT_EQ(Run({"import", Path("2m.csv"), "--base", Path("base.dat"), "-o", Path("out.dat")}).status, 1);
    EXPECT_EQ(Run({"import", Path("70cm.csv"), "--base", Path("base.dat"), "-o", Path("out.dat")}).status, 0);
}

// The value printed after a label of "show": the rest of its line, blanks
// after the label skipped.
std::string ShownValue(const std::string& out, const std::string& label)
{
    const auto at = out.find(label);
    if (at == std::string::npos)
        return "(no " + label + ")";
    const auto start = out.find_first_not_of(' ', at + label.size());
    return out.substr(start, out.find('\n', start) - start);
}

TEST_F(Cli, ShowNamesTheRadioTypeAndBand)
{
    WriteText("Program.ini", "[Setup]\nType1=R1\nType2=R2\nField2=144 - 148MHz|430 - 440MHz\n");
    struct Case
    {
        int type, band;
        const char* typeValue;
        const char* bandValue;
    };
    const Case cases[] = {
        {1, 1, "1 (R2)", "1 (430 - 440MHz)"},
        {0, 0, "0 (R1)", "0"},
        {9, 3, "9", "3"},
    };
    for (const Case& c : cases) {
        RadioImage image = MakeNewImage();
        image[ImageMap::kRadioType] = static_cast<std::uint8_t>(c.type);
        image[ImageMap::kBandIndex] = static_cast<std::uint8_t>(c.band);
        WriteImage("t.dat", image);
        const RunResult r = Run({"show", Path("t.dat"), "--ini", Path("Program.ini")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ShownValue(r.out, "Radio Type Index:"), c.typeValue);
        EXPECT_EQ(ShownValue(r.out, "Band Index:"), c.bandValue);
    }
    // The Program.ini beside the tool names the new image's type and band.
    WriteImage("n.dat", MakeNewImage());
    const RunResult r = Run({"show", Path("n.dat"), "--lang", "zh"});
    EXPECT_EQ(ShownValue(r.out, "频段序号:"), "2 (400 - 480MHz)") << r.out;
}

TEST_F(Cli, PrintRefusesWhatItCannotPrint)
{
    WriteImage("new.dat", MakeNewImage());
    WriteText("bad.dat", "not a data file");
    struct Case
    {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"print", Path("new.dat")}, 2, "-o OUT.pdf"},
        {{"print", Path("new.dat"), "-o", Path("x.pdf"), "--lang", "fr"}, 2, "en or zh"},
        {{"print", Path("bad.dat"), "-o", Path("x.pdf")}, 1, "bad.dat"},
        {{"print", Path("new.dat"), "-o", Path("x.pdf"), "--ini", Path("none.ini")}, 1, "none.ini"},
        {{"print", Path("new.dat"), "-o", Path("no-such-dir/x.pdf")}, 1, "no-such-dir"},
    };
    for (const Case& c : cases) {
        const RunResult r = Run(c.args);
        // Without the helper only the usage and the data file are checked
        // before the verb stops.
        if (!kPrintHelperBuilt && std::string(c.message) == "no-such-dir")
            continue;
        EXPECT_EQ(r.status, c.status) << c.message << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(Path("x.pdf")));
    if (!kPrintHelperBuilt) {
        // Built without Qt: one clear line.
        const RunResult r = Run({"print", Path("new.dat"), "-o", Path("x.pdf")});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find("print helper"), std::string::npos) << r.err;
#ifdef _WIN32
        EXPECT_NE(r.err.find("not part of this build"), std::string::npos) << r.err;
#endif
    }
}

TEST_F(Cli, UsageAndHelp)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"frobnicate"},
                                                 {"new"},
                                                 {"new", "-o"},
                                                 {"export"},
                                                 {"export", "a.dat", "--lang", "fr"},
                                                 {"import", "a.csv"},
                                                 {"import", "a.csv", "-o", "b.dat", "--band", "174-136"},
                                                 {"show", "--bogus", "a.dat"}})
        EXPECT_EQ(Run(args).status, 2) << (args.empty() ? "" : args[0]);
    for (const std::string verb : {"new", "export", "import", "show", "print"}) {
        const RunResult r = Run({verb, "--help"});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("Usage: program-cli " + verb), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}).status, 0);
}

// diff names a changed scan membership by its channel, and the bitmap byte
// it lives in is not counted among the other bytes.
TEST_F(Cli, DiffExplainsAScanChangeByItsChannel)
{
    const RadioImage before = SampleImage();
    for (const int channel : {1, 2, 16}) {
        SCOPED_TRACE(channel);
        const std::string from = DecodeScan(before, channel, false);
        const std::string to = from == "Yes" ? "No" : "Yes";
        RadioImage after = before;
        EncodeScan(after, channel, to);
        WriteImage("a.dat", before);
        WriteImage("b.dat", after);
        const std::string line = "CH " + std::to_string(channel) + " Scan: " + from + " -> " + to + "\n";
        RunResult r = Run({"diff", Path("a.dat"), Path("b.dat")});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.out, line);
        const std::size_t offset = ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8;
        char byte[32];
        std::snprintf(byte, sizeof byte, "0x%04zX: %02X -> %02X\n", offset, before[offset], after[offset]);
        r = Run({"diff", Path("a.dat"), Path("b.dat"), "--bytes"});
        EXPECT_EQ(r.out, line + byte);
    }
}

// import takes frequencies up to 999.99375 MHz and refuses 1000 MHz, also
// without a band check.
TEST_F(Cli, ImportStopsBelow1000MHz)
{
    struct Case
    {
        const char* rx;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"999.99375", 0, ""},
        {"1000", 1, "2:2: frequency 1000.00000 is 1000 MHz or more, which the radio cannot store\n"},
        {"1000.00000", 1, "2:2: frequency 1000.00000 is 1000 MHz or more, which the radio cannot store\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rx);
        fs::remove(Path("o.dat"));
        WriteText("in.csv", std::string("CH,Rx Frequency\n1,") + c.rx + "\n");
        const RunResult r = Run({"import", Path("in.csv"), "-o", Path("o.dat"), "--no-band-check"});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.error);
        EXPECT_EQ(fs::exists(Path("o.dat")), c.status == 0);
    }
}

// The plans beside program-cli in the build tree, and the user's own from
// XDG_DATA_HOME, which hide a shipped plan of the same name.
TEST_F(Cli, PlansAreListedAndImportedLikeFiles)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedData = saved ? saved : "";
    ::setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
    const std::string shipped = (fs::path(PROGRAM_CLI_PATH).parent_path() / "plans").lexically_normal().string();

    RunResult r = Run({"plans"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "FRS\t16\t" + shipped + "/FRS.csv\nPMR446\t16\t" + shipped + "/PMR446.csv\n");

    fs::create_directories(Path("data/radio-programmer/plans"));
    WriteText("data/radio-programmer/plans/PMR446.csv", std::string(kEnglishHeader) +
                                                            "1,446.00625,446.00625,None,None,Narrow,Yes,Off,Low\n"
                                                            "2,446.01875,446.01875,None,None,Narrow,Yes,Off,Low\n");
    WriteText("data/radio-programmer/plans/Club.csv",
              std::string(kEnglishHeader) + "1,145.5,145.5,None,None,Wide,Yes,Off,High\n");
    r = Run({"plans"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Club\t1\t" + Path("data/radio-programmer/plans/Club.csv") + "\nFRS\t16\t" + shipped +
                         "/FRS.csv\nPMR446\t2\t" + Path("data/radio-programmer/plans/PMR446.csv") + "\n");
    fs::remove(Path("data/radio-programmer/plans/PMR446.csv"));

    // The shipped PMR446 onto a radio of the 400-470 band: all sixteen
    // channels, channels the plan does not list keep the base's bytes.
    WriteText("Program.ini", "[Setup]\nType1=R1\nField1=136-174|400-470\n");
    RadioImage image = MakeNewImage();
    image[ImageMap::kRadioType] = 0;
    image[ImageMap::kBandIndex] = 1;
    WriteImage("uhf.dat", image);
    r = Run(
        {"import", "--plan", "PMR446", "--base", Path("uhf.dat"), "-o", Path("out.dat"), "--ini", Path("Program.ini")});
    ASSERT_EQ(r.status, 0) << r.err;
    RadioImage result{};
    ASSERT_EQ(LoadDataFile(Path("out.dat"), result), DataFileResult::Ok);
    for (int channel = 1; channel <= 16; ++channel) {
        EXPECT_EQ(DecodeFrequency(result, channel, FrequencySide::Transmit),
                  DecodeFrequency(result, channel, FrequencySide::Receive));
        EXPECT_EQ(DecodePower(result, channel, false), "Low") << channel;
        EXPECT_EQ(DecodeBandwidth(result, channel, false), "Narrow") << channel;
    }
    EXPECT_EQ(DecodeFrequency(result, 1, FrequencySide::Receive), "446.00625");
    EXPECT_EQ(DecodeFrequency(result, 16, FrequencySide::Receive), "446.19375");
    for (std::size_t at = ImageMap::ChannelOffset(17); at < result.size(); ++at)
        if (at != ImageMap::kScanBitmap && at != ImageMap::kScanBitmap + 1) {
            ASSERT_EQ(result[at], image[at]) << at;
        }

    // A band that refuses it: every cell listed, nothing written.
    image[ImageMap::kBandIndex] = 0;
    WriteImage("vhf.dat", image);
    fs::remove(Path("out.dat"));
    r = Run(
        {"import", "--plan", "FRS", "--base", Path("vhf.dat"), "-o", Path("out.dat"), "--ini", Path("Program.ini")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the plan FRS (" + shipped + "/FRS.csv) does not fit"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2:2: frequency 462.56250 is outside the band"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("17:3: frequency 462.57500 is outside the band"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("out.dat")));
    // The user's plan is found by its name; an unknown name and a plan
    // beside a file are refused.
    EXPECT_EQ(Run({"import", "--plan", "Club", "--base", Path("vhf.dat"), "-o", Path("out.dat"), "--ini",
                   Path("Program.ini")})
                  .status,
              0);
    r = Run({"import", "--plan", "pmr446", "-o", Path("x.dat"), "--no-band-check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no channel plan named \"pmr446\""), std::string::npos) << r.err;
    EXPECT_EQ(Run({"import", Path("a.csv"), "--plan", "FRS", "-o", Path("x.dat")}).status, 2);
    EXPECT_EQ(Run({"plans", "extra"}).status, 2);
    r = Run({"plans", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: program-cli plans"), std::string::npos);

    if (saved)
        ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

} // namespace
